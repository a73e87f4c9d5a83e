// kestrix-cli textbank dump and build.

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli_args.h"
#include "commands.h"
#include "memory_stream.h"
#include "operation_observer.h"
#include "text_bank.h"

namespace cli {
namespace {

// Character warnings become one-line warnings on stderr that name the file they are about.
class CharacterWarnings : public kestrix::OperationObserver {
public:
    explicit CharacterWarnings(const QString& path) : m_path(path) {}
    void notice(const QString& text) override { warn(withDetail(text, m_path)); }

private:
    QString m_path;
};

int runDump(const QStringList& argv)
{
    const Args args = parseArgs(argv, {{"--quarn1", OptionValue::None}, {"--json", OptionValue::None}});
    if (args.positional().size() != 1) throw UsageError{QStringLiteral("textbank dump needs exactly one FILE")};
    const QString path = args.positional().first();
    const bool quarn1 = args.has("--quarn1");
    if (!QFile::exists(path)) throw Failure{QStringLiteral("%1: No such file or directory").arg(path)};

    CharacterWarnings warnings(path);
    const tessel::TextBankLoad load = tessel::LoadTextFile(path, quarn1, &warnings);
    if (load.status == tessel::TextBankLoad::Status::TooLarge)
        throw Failure{withDetail(load.error, QStringLiteral("%1 is %2 bytes; text banks above %3 bytes are not opened")
                                                 .arg(path)
                                                 .arg(QFileInfo(path).size())
                                                 .arg(tessel::kMaxTextFileSize))};
    if (load.status != tessel::TextBankLoad::Status::Loaded) throw Failure{namingFile(load.error, path)};

    QByteArray out;
    if (args.has("--json")) {
        out += '[';
        for (std::size_t i = 0; i < load.entries.size(); ++i) {
            const tessel::TextBankEntry& e = load.entries[i];
            if (i > 0) out += ", ";
            const QByteArray frame = quarn1       ? QByteArray("-1")
                                     : e.hasFrame ? QByteArray::number(e.frame)
                                                  : QByteArray("null");
            out += "{\"offset\": " + QByteArray::number(e.offset) + ", \"frame\": " + frame +
                   ", \"text\": " + jsonString(e.text) + '}';
        }
        out += "]\n";
    } else {
        for (std::size_t i = 0; i < load.entries.size(); ++i) {
            const tessel::TextBankEntry& e = load.entries[i];
            const QString frame = quarn1       ? QString()
                                  : e.hasFrame ? QStringLiteral("\tframe %1").arg(e.frame)
                                               : QStringLiteral("\tframe n\\a");
            out += (QStringLiteral("%1\toffset %2").arg(i + 1).arg(e.offset) + frame + u'\n').toUtf8();
            if (!e.hasText)
                out += "(no text: the offset lies beyond the bank)\n";
            else
                out += QString(e.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8() + '\n';
            out += '\n';
        }
    }
    writeOut(out);
    return kExitOk;
}

int runBuild(const QStringList& argv)
{
    const Args args = parseArgs(argv, {{"--quarn1", OptionValue::None}});
    if (args.positional().size() != 2) throw UsageError{QStringLiteral("textbank build needs IN.json and OUT")};
    const QString in = args.positional()[0];
    const bool quarn1 = args.has("--quarn1");

    QFile file(in);
    if (!file.open(QIODevice::ReadOnly)) throw Failure{QStringLiteral("%1: %2").arg(in, file.errorString())};
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (doc.isNull()) throw Failure{QStringLiteral("%1: not JSON: %2").arg(in, parseError.errorString())};
    if (!doc.isArray())
        throw Failure{QStringLiteral("%1: expected a list of {\"offset\", \"frame\", \"text\"}").arg(in)};

    std::vector<tessel::TextBankEntry> entries;
    const QJsonArray list = doc.array();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonObject o = list[i].toObject();
        if (!list[i].isObject() || (o.contains(QLatin1String("text")) && !o.value(QLatin1String("text")).isString()))
            throw Failure{QStringLiteral("%1: entry %2 is not an object with a text").arg(in).arg(i + 1)};
        tessel::TextBankEntry e;
        e.offset = o.value(QLatin1String("offset")).toInt();
        e.text = o.value(QLatin1String("text")).toString();
        const QJsonValue frame = o.value(QLatin1String("frame"));
        e.frame = frame.isDouble() ? frame.toInt(-1) : -1;
        if (frame.isDouble() && frame.toDouble() != e.frame) e.frame = -1;
        e.hasFrame = e.frame >= 0;
        entries.push_back(e);
    }

    CharacterWarnings warnings(in);
    const QString out = args.positional()[1];
    QByteArray bank;
    QString error;
    if (!tessel::WriteTextBank(entries, quarn1, &warnings, &bank, &error)) {
        if (error == QLatin1String(tessel::kOver64KMessage))
            throw Failure{withDetail(error, QStringLiteral("the %1 texts of %2 make a bank of more than %3 bytes; "
                                                           "%4 not written")
                                                .arg(entries.size())
                                                .arg(in)
                                                .arg(tessel::kMaxBankSize)
                                                .arg(out))};
        throw Failure{QStringLiteral("%1: %2").arg(in, error)};
    }
    if (!kestrix::writeFileAtomically(out, bank, &error)) throw Failure{namingFile(error, out)};
    return kExitOk;
}

}  // namespace

const char kTextbankHelp[] =
    "Usage: kestrix-cli textbank dump FILE [--quarn1] [--json]\n"
    "       kestrix-cli textbank build IN.json OUT [--quarn1]\n"
    "\n"
    "Reads and writes text banks (.qbt). Quarn 2 banks (the default) have a frame byte in front of\n"
    "every text; Quarn 1 banks (--quarn1) have none. The file does not say which it is.\n"
    "\n"
    "dump     prints every text with its number, offset and frame; with --json a list of\n"
    "         {\"offset\", \"frame\", \"text\"} (frame -1 for Quarn 1, null where none could be read;\n"
    "         line breaks as \"\\r\\n\"). Characters the games' set lacks are warned about on stderr.\n"
    "build    writes a bank from such a list; the offsets are recomputed from the texts, so the\n"
    "         bank is always consistent. A bank over 65535 bytes is refused (exit 1).\n";

int runTextbank(const QStringList& argv)
{
    if (argv.isEmpty()) throw UsageError{QStringLiteral("textbank needs dump or build")};
    const QString what = argv.first();
    if (what == QLatin1String("dump")) return runDump(argv.mid(1));
    if (what == QLatin1String("build")) return runBuild(argv.mid(1));
    throw UsageError{QStringLiteral("textbank needs dump or build, not %1").arg(what)};
}

}  // namespace cli
