#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

namespace cli {

// Exit codes of kestrix-cli.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Whether an accepted option stands alone or is followed by a value.
enum class OptionValue { None, Required };

// A descriptor of one option that a command accepts: its spelling ("--size", "-o") and whether
// a value follows it.
struct OptionDecl {
    const char* name;
    OptionValue value;

    bool takesValue() const { return value == OptionValue::Required; }
};

// The options and positional arguments of one command. "--name value" and "--name=value" both
// work; "--" ends the options.
class Args {
public:
    // Parses `argv` (without the program and command names) against the accepted options.
    // False with `error` set on an unknown option, a missing value or a value given to a switch.
    bool parse(const QStringList& argv, const std::vector<OptionDecl>& accepted, QString* error);

    bool has(const char* name) const;
    QString value(const char* name) const;
    const QStringList& positional() const { return m_positional; }

private:
    std::vector<std::pair<QString, QString>> m_values;
    QStringList m_positional;
};

// Parses a command's arguments; throws UsageError (below) on an unknown option or a missing value.
Args parseArgs(const QStringList& argv, const std::vector<OptionDecl>& accepted);

// Thrown for wrong usage; main() prints it and exits with 2.
struct UsageError {
    QString message;
};
// Thrown when the operation failed; main() prints it and exits with 1.
struct Failure {
    QString message;
};

// A decimal number in [min, max]; throws UsageError naming the option otherwise.
std::int64_t parseNumber(const QString& text, const char* option, std::int64_t min, std::int64_t max);

// A JSON string literal: quotes, backslashes and control characters escaped; the rest as UTF-8.
QByteArray jsonString(const QString& text);

// Message helpers. A fixed text that a window shows is printed as it stands, then ": " and the
// detail a window would not need (the file, the entry, the figures).
QString withDetail(const QString& fixedText, const QString& detail);
// `message` when it names `path` already, otherwise `message` + ": " + `path`.
QString namingFile(const QString& message, const QString& path);
// The message on one line: every run of CR and LF becomes one space, ends are trimmed.
QString oneLine(const QString& message);
// "N bytes (X.XXX MB)", with "." as the decimal point whatever the locale.
QString bytesAndMegabytes(std::uint64_t bytes);
// `text` as one shell word: as it is when it holds only safe characters, else in single quotes.
QString shellWord(const QString& text);

// Output helpers: data to stdout, "kestrix-cli: MESSAGE" to stderr (flattened by oneLine).
void writeOut(const QByteArray& bytes);
void writeOut(const QString& text);
void warn(const QString& message);

}  // namespace cli
