// Window tests of the image viewer, offscreen: start-up with and without the settings key, the
// command line and activation, game pictures, drops, the Ctrl readouts, zoom, export, "Save",
// "Open", the palette menu and F1.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <memory>

#include "dialogs_double.h"
#include "image_plugin.h"
#include "palette.h"
#include "picture_view.h"
#include "program_registry.h"
#include "service_doubles.h"
#include "settings_store.h"
#include "unit_main.h"
#include "window_test_support.h"

using kestrix::DialogButton;
using kestrix::RegistryKey;
using pictor::Palette;
using pictor::PictureView;
using pictor::Tfrm_Main;
using testing_support::DialogAnswer;
using testing_support::DialogKind;
using testing_support::DialogsDouble;
using testing_support::LibraryWindowsDouble;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A sprite: width and height at bytes 8 and 9, pixels from byte 12.
QByteArray sprite(int width, int height, const QByteArray& pixels)
{
    QByteArray b(12, '\0');
    b[8] = static_cast<char>(width);
    b[9] = static_cast<char>(height);
    return b + pixels;
}

// Entry i: red i, green 255 - i, blue 7; entry 9 repeats entry 2's colour.
Palette rampPalette()
{
    Palette p;
    for (int i = 0; i < 256; ++i) p.setEntry(i, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7);
    p.setEntry(9, 2, 253, 7);
    return p;
}

DialogAnswer chooseFile(const QString& path, int filterIndex = 0)
{
    DialogAnswer a;
    a.accepted = true;
    a.files = {path};
    a.filterIndex = filterIndex;
    return a;
}

}  // namespace

class PictorWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_program;  // with "/"
    QString m_data;     // with "/"
    DialogsDouble m_dialogs;
    LibraryWindowsDouble m_library;
    std::vector<int> m_sounds;
    int m_sfxLoads = 0;
    int m_sfxFrees = 0;
    std::vector<qint64> m_helpPopups;
    QColor m_nextColour;
    std::unique_ptr<Tfrm_Main> m_window;

    Tfrm_Main& start(const QStringList& parameters = {})
    {
        pictor::MainWindowServices s;
        s.dialogs = &m_dialogs;
        s.library = &m_library;
        s.playSound = [this](kestrix::Sound sound) { m_sounds.push_back(static_cast<int>(sound)); };
        s.loadSfx = [this] {
            ++m_sfxLoads;
            return true;
        };
        s.freeSfx = [this] { ++m_sfxFrees; };
        s.chooseColour = [this](QWidget*, const QColor&) { return m_nextColour; };
        s.showHelpPopup = [this](const QString&, qint64 number, const QPoint&) {
            m_helpPopups.push_back(number);
            return true;
        };
        s.programFolder = m_program;
        s.parameters = parameters;
        m_window = std::make_unique<Tfrm_Main>(s);
        m_window->show();
        if (!QTest::qWaitFor([this] { return m_window->isStarted(); }, 5000)) qFatal("the window did not start");
        return *m_window;
    }

    template <typename T>
    T* child(const char* name) const
    {
        return testing_support::control<T>(m_window.get(), name);
    }

    int count(int sound) const { return testing_support::countOf(m_sounds, sound); }

    void makeSettingsKey() { RegistryKey::settings().writeText(QStringLiteral("version"), QStringLiteral("1")); }

    void click(const char* button) { QTest::mouseClick(child<QToolButton>(button), Qt::LeftButton); }

    // A sprite file shown through the file box with the ramp palette.
    void showSprite(const QString& name, int width, int height, const QByteArray& pixels)
    {
        writeBytes(m_data + QStringLiteral("ramp.pal"), rampPalette().toRaw());
        m_window->LoadPalette(m_data + QStringLiteral("ramp.pal"));
        writeBytes(m_data + name, sprite(width, height, pixels));
        m_dialogs.script(chooseFile(m_data + name));
        click("fe_ImageButton");
    }

    void moveOver(QWidget* widget, const QPoint& pos, Qt::KeyboardModifiers modifiers)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(widget->mapToGlobal(pos)), Qt::NoButton, Qt::NoButton,
                         modifiers);
        QApplication::sendEvent(widget, &move);
    }

private slots:
    void initTestCase() { pictor::registerImageFormats(); }

    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        RegistryKey::useFolderForTesting(m_root->filePath(QStringLiteral("config")));
        m_program = m_root->filePath(QStringLiteral("Program Folder")) + QLatin1Char('/');
        m_data = m_root->filePath(QStringLiteral("Data")) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(m_program));
        QVERIFY(QDir().mkpath(m_data));
        m_dialogs = DialogsDouble();
        m_library.calls.clear();
        m_sounds.clear();
        m_sfxLoads = m_sfxFrees = 0;
        m_helpPopups.clear();
    }

    void cleanup()
    {
        if (m_window) m_window->close();
        m_window.reset();
        m_root.reset();
    }

    // No settings key: no palette (game pictures black), no registration; the placeholder, the
    // start-up sound and the sounds kept until the window closes.
    void startsWithoutSettingsKey()
    {
        Tfrm_Main& w = start();
        QCOMPARE(w.palette(), Palette());
        QVERIFY(!RegistryKey::settings().exists());
        QCOMPARE(w.picture().size(), QSize(200, 65));
        QVERIFY(w.gameImageShown());
        QCOMPARE(w.windowTitle(), QStringLiteral("Quarn Viewer"));
        QVERIFY(!child<QToolBar>("tb_Extra")->isVisible());
        QCOMPARE(count(25261), 1);
        QCOMPARE(m_sfxLoads, 1);
        writeBytes(m_data + QStringLiteral("a.qsp"), sprite(2, 1, QByteArray("\x05\x06", 2)));
        w.LoadGameImage(m_data + QStringLiteral("a.qsp"));
        QCOMPARE(QColor(w.picture().pixel(1, 0)), QColor(Qt::black));
        // A box or a file dialog does not release the sounds; closing does, once.
        m_dialogs.script(chooseFile(QString()));
        click("sb_Open");
        QCOMPARE(m_sfxFrees, 0);
        w.close();
        w.close();
        QCOMPARE(m_sfxFrees, 1);
    }

    // With the key: Quarn 1, then "Default Palette"; "Default Output" for the dialogs; "{PROG-0001}".
    void startsWithSettingsKey()
    {
        makeSettingsKey();
        writeBytes(m_data + QStringLiteral("ramp.pal"), rampPalette().toRaw());
        RegistryKey::settings().writeText(QStringLiteral("Default Palette"), m_data + QStringLiteral("ramp.pal"));
        RegistryKey::settings().writeText(QStringLiteral("Default Output"), m_data);
        Tfrm_Main& w = start();
        QCOMPARE(w.palette(), rampPalette());
        QCOMPARE(w.statusText(0), QStringLiteral("Done..."));
        const auto registered = kestrix::RegisteredPrograms();
        QCOMPARE(registered.size(), std::size_t(1));
        QCOMPARE(registered.front().number, 1);
        QCOMPARE(registered.front().title, QStringLiteral("Quarn Viewer"));
        m_dialogs.script(DialogAnswer{});
        click("fe_ImageButton");
        QCOMPARE(m_dialogs.requests().back().file.initialFolder, m_data);
        QCOMPARE(m_dialogs.requests().back().file.title, QStringLiteral("Select an exported Quarn image"));
        QCOMPARE(count(25211), 1);
    }

    void commandLineSwitchAndFile_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("developer");
        QTest::addColumn<QString>("fileBox");
        QTest::newRow("dev") << QStringLiteral("-dev") << true << QString();
        QTest::newRow("DEV") << QStringLiteral("-DEV") << false << QString();
        QTest::newRow("picture") << QStringLiteral("pic.qim") << false << QStringLiteral("pic.qim");
        QTest::newRow("folder") << QStringLiteral("folder") << false << QString();
        QTest::newRow("missing") << QStringLiteral("gone.qim") << false << QString();
    }

    // "-dev" exactly shows the Developer tool bar; an existing file waits in the file box, the
    // placeholder stays until "Reload image".
    void commandLineSwitchAndFile()
    {
        QFETCH(QString, argument);
        QFETCH(bool, developer);
        QFETCH(QString, fileBox);
        writeBytes(m_data + QStringLiteral("pic.qim"), QByteArray(65536, '\x03'));
        QVERIFY(QDir().mkpath(m_data + QStringLiteral("folder")));
        const QString parameter = argument.startsWith(u'-') ? argument : m_data + argument;
        Tfrm_Main& w = start({parameter});
        QCOMPARE(child<QToolBar>("tb_Extra")->isVisible(), developer);
        QCOMPARE(child<QLineEdit>("fe_Image")->text(), fileBox.isEmpty() ? QString() : m_data + fileBox);
        QCOMPARE(w.picture().size(), QSize(200, 65));
        if (fileBox.isEmpty()) return;
        click("sb_ReloadImage");
        QCOMPARE(w.picture().size(), QSize(256, 256));
        QCOMPARE(w.windowTitle(), QStringLiteral("Quarn Viewer - [pic.qim]"));
    }

    // A ".pal" argument is applied at start and again when the window comes back from the about
    // box, not after a file dialog.
    void paletteArgumentOnActivation()
    {
        makeSettingsKey();
        writeBytes(m_data + QStringLiteral("ramp.pal"), rampPalette().toRaw());
        Tfrm_Main& w = start({m_data + QStringLiteral("ramp.pal")});
        QCOMPARE(w.palette(), rampPalette());
        w.LoadPalette(QStringLiteral("#resource{quarn2}"));
        const Palette quarn2 = w.palette();
        QVERIFY(quarn2 != rampPalette());
        m_dialogs.script(DialogAnswer{});
        click("sb_SelectPallet");
        QCOMPARE(w.palette(), quarn2);
        click("sp_About");
        QCOMPARE(m_library.calls.size(), std::size_t(1));
        QCOMPARE(m_library.calls.front().mainWindow, static_cast<QWidget*>(&w));
        QCOMPARE(count(25202), 1);
        QCOMPARE(w.palette(), rampPalette());
    }

    // The index path from the file box: picture, caption, dimensions, status; zoom back to 1:1.
    void gameImageFromTheFileBox()
    {
        Tfrm_Main& w = start();
        w.setZoom(400);
        showSprite(QStringLiteral("s.QSP"), 3, 2, QByteArray("\x0a\x0b\x0c\x0d\x0e\x0f", 6));
        QCOMPARE(w.picture().format(), QImage::Format_Indexed8);
        QCOMPARE(w.picture().size(), QSize(3, 2));
        QCOMPARE(w.picture().pixelIndex(2, 0), 12);
        QCOMPARE(QColor(w.picture().pixel(2, 0)), QColor(12, 243, 7));
        QCOMPARE(w.windowTitle(), QStringLiteral("Quarn Viewer - [s.QSP]"));
        QCOMPARE(child<QLabel>("lbl_Dim")->text(), QStringLiteral("X : 3\nY : 2"));
        QCOMPARE(w.statusText(0), QStringLiteral("Done..."));
        QCOMPARE(w.zoom(), 100);
        QCOMPARE(w.statusText(2), QStringLiteral("3 x 2  100%"));
        // A file no rule names empties the picture.
        writeBytes(m_data + QStringLiteral("odd.qim"), QByteArray(10, '\x01'));
        child<QLineEdit>("fe_Image")->setText(m_data + QStringLiteral("odd.qim"));
        click("sb_ReloadImage");
        QVERIFY(w.picture().isNull());
    }

    // A batch file loads its palette into the strip, then its picture.
    void batchFileLoadsPaletteAndPicture()
    {
        Tfrm_Main& w = start();
        writeBytes(m_data + QStringLiteral("p.pal"), rampPalette().toRaw());
        writeBytes(m_data + QStringLiteral("i.qsr"), sprite(1, 1, QByteArray("\x07", 1)));
        writeBytes(m_data + QStringLiteral("b.qbc"), "p.pal\r\ni.qsr\r\n");
        w.LoadGameImage(m_data + QStringLiteral("b.qbc"));
        QCOMPARE(w.palette(), rampPalette());
        QCOMPARE(child<PictureView>("img_Pallet")->image().pixel(7, 3), rampPalette().rgb(7));
        QCOMPARE(w.picture().size(), QSize(1, 1));
        QCOMPARE(w.windowTitle(), QStringLiteral("Quarn Viewer - [i.qsr]"));
        // An invalid palette stops the batch with its box.
        writeBytes(m_data + QStringLiteral("p.pal"), QByteArray(20, 'x'));
        w.LoadGameImage(m_data + QStringLiteral("b.qbc"));
        QCOMPARE(m_dialogs.requests().back().title, QStringLiteral("Invalid palette file"));
        QCOMPARE(m_dialogs.requests().back().text, QStringLiteral("This is neither a RIFF nor RAW palette"));
    }

    // Drops: the first file, whole; ".pal" to the palette, anything else through the colour path
    // (a batch file too), leaving the "game picture" state as it is.
    void droppedFiles()
    {
        Tfrm_Main& w = start();
        writeBytes(m_data + QStringLiteral("Game.PAL"), rampPalette().toRaw());
        w.dropFiles({m_data + QStringLiteral("Game.PAL"), m_data + QStringLiteral("other")});
        QCOMPARE(w.palette(), rampPalette());
        const QString longName = m_data + QString(120, u'n') + QStringLiteral(".qim");
        QByteArray full(307200, '\x09');
        full[0] = 2;
        writeBytes(longName, full);
        w.dropFiles({longName});
        QCOMPARE(w.picture().size(), QSize(640, 480));
        QCOMPARE(child<QLineEdit>("fe_Image")->text(), longName);
        // Entry 9 repeats entry 2's colour: through the colours it comes back as 2.
        QCOMPARE(w.picture().pixelIndex(5, 5), 2);
        QCOMPARE(w.picture().pixelIndex(0, 0), 2);
        QVERIFY(w.gameImageShown());
        QCOMPARE(child<QLabel>("lbl_Dim")->text(), QStringLiteral("X : 640\nY : 480"));
        // A batch file dropped is a picture file of no rule: the picture stays.
        writeBytes(m_data + QStringLiteral("b.qbc"), "Game.PAL\r\nx.qsr\r\n");
        w.dropFiles({m_data + QStringLiteral("b.qbc")});
        QCOMPARE(w.picture().size(), QSize(640, 480));
        QCOMPARE(w.palette(), rampPalette());
    }

    // Ctrl over the picture: the pixel in picture coordinates at any zoom, the lowest index of its
    // colour, 256 for a colour not in the palette, the text in the inverted colour.
    void ctrlReadouts()
    {
        Tfrm_Main& w = start();
        showSprite(QStringLiteral("r.qsp"), 3, 2, QByteArray("\x01\x09\x03\x04\x05\x06", 6));
        auto* view = child<PictureView>("img_Picture");
        auto* colour = child<QLabel>("pnl_Color");
        w.setZoom(400);
        QCOMPARE(w.statusText(2), QStringLiteral("3 x 2  400%"));
        moveOver(view, QPoint(5, 2), Qt::ControlModifier);  // pixel (1, 0): index 9, colour of 2
        QCOMPARE(colour->text(), QStringLiteral("2"));
        QCOMPARE(child<QLabel>("lbl_XY")->text(), QStringLiteral("X = 1\nY = 0"));
        const QImage shown = colour->grab().toImage();
        QCOMPARE(QColor(shown.pixel(2, 2)), QColor(2, 253, 7));
        QVERIFY(colour->styleSheet().contains(QColor(253, 2, 248).name()));  // the inverted text colour
        QCOMPARE(view->cursor().shape(), Qt::CrossCursor);
        moveOver(view, QPoint(11, 7), Qt::NoModifier);  // without Ctrl nothing changes
        QCOMPARE(child<QLabel>("lbl_XY")->text(), QStringLiteral("X = 1\nY = 0"));
        QCOMPARE(view->cursor().shape(), Qt::ArrowCursor);
        // A colour the palette lacks.
        Palette grey;
        for (int i = 0; i < 256; ++i) grey.setEntry(i, 128, 128, 128);
        writeBytes(m_data + QStringLiteral("grey.pal"), grey.toRaw());
        w.LoadPalette(m_data + QStringLiteral("grey.pal"));
        moveOver(view, QPoint(9, 5), Qt::ControlModifier);
        QCOMPARE(child<QLabel>("lbl_XY")->text(), QStringLiteral("X = 2\nY = 1"));
        QCOMPARE(colour->text(), QStringLiteral("256"));
        // Over the strip: the column's colour and index.
        moveOver(child<PictureView>("img_Pallet"), QPoint(40, 10), Qt::ControlModifier);
        QCOMPARE(colour->text(), QString::number(w.palette().indexOf(w.palette().rgb(40))));
    }

    // Zoom with "+", "-", "0" and Ctrl + wheel; the panels 0 and 1 keep their texts.
    void zoomKeysAndWheel()
    {
        Tfrm_Main& w = start();
        showSprite(QStringLiteral("z.qsp"), 4, 4, QByteArray(16, '\x01'));
        auto* view = child<PictureView>("img_Picture");
        QTest::keyClick(&w, Qt::Key_Plus);
        QCOMPARE(w.zoom(), 200);
        QCOMPARE(view->size(), QSize(8, 8));
        QTest::keyClick(&w, Qt::Key_Plus);
        QTest::keyClick(&w, Qt::Key_Minus);
        QCOMPARE(w.zoom(), 200);
        QTest::keyClick(&w, Qt::Key_0);
        QCOMPARE(w.zoom(), 100);
        QWidget* viewport = child<QScrollArea>("sb_Image")->viewport();
        QWheelEvent wheel(QPointF(300, 200), viewport->mapToGlobal(QPointF(300, 200)), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
        QCOMPARE(w.zoom(), 200);
        QCOMPARE(w.statusText(0), QStringLiteral("Done..."));
        // Export writes the picture at 1:1.
        m_dialogs.script(chooseFile(m_data + QStringLiteral("z.png"), 6));
        click("sb_SaveToFile");
        QCOMPARE(QImage(m_data + QStringLiteral("z.png")).size(), QSize(4, 4));
    }

    // The developer gesture: Shift + Ctrl + right button beside the picture.
    void developerGesture()
    {
        start();
        QWidget* viewport = child<QScrollArea>("sb_Image")->viewport();
        QTest::mousePress(viewport, Qt::RightButton, Qt::ControlModifier, QPoint(400, 150));
        QVERIFY(!child<QToolBar>("tb_Extra")->isVisible());
        QTest::mousePress(viewport, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(400, 150));
        QVERIFY(child<QToolBar>("tb_Extra")->isVisible());
    }

    // The Developer tool bar drives the loads: custom dimensions and the break-index coding.
    void developerBarLayout()
    {
        Tfrm_Main& w = start({QStringLiteral("-dev")});
        writeBytes(m_data + QStringLiteral("ramp.pal"), rampPalette().toRaw());
        w.LoadPalette(m_data + QStringLiteral("ramp.pal"));
        child<QCheckBox>("cb_Custom")->setChecked(true);
        child<QSpinBox>("se_X")->setValue(8);
        child<QSpinBox>("se_Y")->setValue(8);
        child<QCheckBox>("cb_IsoDraw")->setChecked(true);
        child<QSpinBox>("se_BreakIndexEnd")->setValue(100);
        child<QSpinBox>("se_BreakIndex")->setValue(255);
        QCOMPARE(child<QSpinBox>("se_BreakIndexEnd")->value(), 255);  // raised to the start
        QWidget* swatch = child<QFrame>("shp_Clr1");
        QCOMPARE(QColor(swatch->grab().toImage().pixel(swatch->width() / 2, swatch->height() / 2)),
                 QColor(rampPalette().rgb(255)));
        m_nextColour = QColor(10, 20, 30);
        click("cb_Background");
        writeBytes(m_data + QStringLiteral("d.bin"), QByteArray("\x01\x02\xff\x05\x03", 5));
        w.dropFiles({m_data + QStringLiteral("d.bin")});
        QCOMPARE(w.picture().size(), QSize(8, 8));
        QCOMPARE(QColor(w.picture().pixel(1, 0)), QColor(rampPalette().rgb(2)));
        QCOMPARE(QColor(w.picture().pixel(5, 1)), QColor(rampPalette().rgb(3)));
        QCOMPARE(QColor(w.picture().pixel(7, 7)), QColor(10, 20, 30));
    }

    // Export: the format by the filter index, never the name; PNG keeps indices and palette.
    void exportByFilter()
    {
        start();
        showSprite(QStringLiteral("e.qsp"), 3, 2, QByteArray("\x01\x02\x03\x04\x05\x06", 6));
        m_dialogs.script(chooseFile(m_data + QStringLiteral("t.bmp"), 5));
        click("sb_SaveToFile");
        const QByteArray tga = readBytes(m_data + QStringLiteral("t.bmp"));
        QCOMPARE(tga.size(), 786 + 6);
        QCOMPARE(m_dialogs.requests().back().file.title, QStringLiteral("Select an image"));
        m_dialogs.script(chooseFile(m_data + QStringLiteral("p.png"), 6));
        click("sb_SaveToFile");
        const QImage png(m_data + QStringLiteral("p.png"), "PNG");
        QCOMPARE(png.format(), QImage::Format_Indexed8);
        QCOMPARE(png.pixelIndex(2, 1), 6);
        QCOMPARE(QColor(png.pixel(2, 1)), QColor(rampPalette().rgb(6)));
        m_dialogs.script(chooseFile(m_data + QStringLiteral("g.gif"), 3));
        click("sb_SaveToFile");
        QVERIFY(readBytes(m_data + QStringLiteral("g.gif")).startsWith("GIF89a"));
        QCOMPARE(count(25211), 4);  // the browse button and three exports
    }

    // "Save": ".qim" in any case writes the indices; another name says so and writes nothing; a
    // 24-bit picture is refused.
    void saveAsGameImage()
    {
        Tfrm_Main& w = start();
        showSprite(QStringLiteral("q.qsp"), 3, 2, QByteArray("\x01\x02\x03\x04\x05\x06", 6));
        m_dialogs.script(chooseFile(m_data + QStringLiteral("out.QIM")));
        click("sb_SaveAsQim");
        QCOMPARE(readBytes(m_data + QStringLiteral("out.QIM")), QByteArray("\x01\x02\x03\x04\x05\x06", 6));
        QCOMPARE(w.statusText(0), QStringLiteral("Done..."));
        m_dialogs.script(chooseFile(m_data + QStringLiteral("out.qsr")));
        click("sb_SaveAsQim");
        QVERIFY(!QFile::exists(m_data + QStringLiteral("out.qsr")));
        QVERIFY(m_dialogs.requests().back().text.contains(QStringLiteral(".qim")));
        QCOMPARE(m_dialogs.requests().back().kind, DialogKind::Message);
        // The placeholder is no 8-bit picture.
        w.LoadGameImage(QString());
        QImage(4, 4, QImage::Format_RGB888).save(m_data + QStringLiteral("c.bmp"), "BMP");
        m_dialogs.script(chooseFile(m_data + QStringLiteral("c.bmp")));
        click("sb_Open");
        m_dialogs.script(chooseFile(m_data + QStringLiteral("c.qim")));
        click("sb_SaveAsQim");
        QCOMPARE(m_dialogs.requests().back().text, QStringLiteral("Sorry, only 8bit bitmaps are supported..."));
        QVERIFY(!QFile::exists(m_data + QStringLiteral("c.qim")));
    }

    // "Open": an ordinary picture turns the picture items on; a failed or ignored open keeps the
    // picture whole, the caption and the state.
    void openOrdinaryPictures()
    {
        Tfrm_Main& w = start();
        showSprite(QStringLiteral("o.qsp"), 3, 2, QByteArray("\x01\x02\x03\x04\x05\x06", 6));
        const QImage before = w.picture();
        writeBytes(m_data + QStringLiteral("bad.pcx"), QByteArray(200, '\x0a'));
        writeBytes(m_data + QStringLiteral("x.jpeg"), QByteArray(10, 'j'));
        for (const char* name : {"bad.pcx", "x.jpeg"}) {
            m_dialogs.script(chooseFile(m_data + QString::fromLatin1(name)));
            click("sb_Open");
            QCOMPARE(w.picture(), before);
            QCOMPARE(w.picture().colorTable(), before.colorTable());
            QCOMPARE(w.windowTitle(), QStringLiteral("Quarn Viewer - [o.qsp]"));
            QVERIFY(w.gameImageShown());
        }
        QCOMPARE(m_dialogs.requests()[m_dialogs.requests().size() - 2].kind, DialogKind::Message);
        QVERIFY(m_dialogs.requests()[m_dialogs.requests().size() - 2].text.contains(QStringLiteral("PCX")));
        QImage rgb(5, 3, QImage::Format_RGB32);
        rgb.fill(qRgb(200, 100, 50));
        rgb.save(m_data + QStringLiteral("ok.png"), "PNG");
        m_dialogs.script(chooseFile(m_data + QStringLiteral("ok.png")));
        click("sb_Open");
        QCOMPARE(w.picture().size(), QSize(5, 3));
        QVERIFY(!w.gameImageShown());
        QCOMPARE(w.windowTitle(), QStringLiteral("Quarn Viewer - [ok.png]"));
        QVERIFY(m_dialogs.requests().back().file.filter.contains(QStringLiteral("*.tga;*.png|")));
    }

    // The pop-up: its sound and order, the picture items only for an ordinary picture; taking and
    // applying the palette through the 8-bit question.
    void paletteMenu()
    {
        Tfrm_Main& w = start();
        QStringList order;
        for (QAction* a : w.paletteMenu()->actions())
            order << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        QCOMPARE(order, (QStringList{"mi_SelectPalette", "-", "mi_quarn1", "mi_quarn2", "-", "mi_LoadFromBmp",
                                     "mi_ApplyPaletteToPicture", "-", "mi_ConvertPaletteRAW", "mi_ConvertPaletteRIFF",
                                     "mi_ConvertPaletteJASC"}));
        auto* picture = child<PictureView>("img_Picture");
        emit picture->customContextMenuRequested(QPoint(1, 1));
        QCOMPARE(count(25241), 1);
        QVERIFY(!child<QAction>("mi_LoadFromBmp")->isEnabled());
        w.paletteMenu()->hide();
        QImage rgb(2, 1, QImage::Format_RGB32);
        rgb.setPixel(0, 0, qRgb(255, 0, 0));
        rgb.setPixel(1, 0, qRgb(0, 0, 255));
        rgb.save(m_data + QStringLiteral("two.bmp"), "BMP");
        m_dialogs.script(chooseFile(m_data + QStringLiteral("two.bmp")));
        click("sb_Open");
        emit picture->customContextMenuRequested(QPoint(1, 1));
        QVERIFY(child<QAction>("mi_LoadFromBmp")->isEnabled());
        QVERIFY(child<QAction>("mi_ApplyPaletteToPicture")->isEnabled());
        w.paletteMenu()->hide();
        // No: nothing changes; Yes: the picture becomes 8-bit and gives its palette.
        DialogAnswer no;
        no.button = DialogButton::No;
        m_dialogs.script(no);
        child<QAction>("mi_LoadFromBmp")->trigger();
        QCOMPARE(m_dialogs.requests().back().title, QStringLiteral("No palette present"));
        QCOMPARE(w.palette(), Palette());
        DialogAnswer yes;
        yes.button = DialogButton::Yes;
        m_dialogs.script(yes);
        child<QAction>("mi_LoadFromBmp")->trigger();
        QCOMPARE(w.picture().format(), QImage::Format_Indexed8);
        QVERIFY(w.palette().indexOf(qRgb(255, 0, 0)) < 256);
        QVERIFY(w.palette().indexOf(qRgb(0, 0, 255)) < 256);
        // Apply: the indices stay, the colours are the palette's.
        child<QAction>("mi_quarn2")->trigger();
        const int index = w.picture().pixelIndex(0, 0);
        child<QAction>("mi_ApplyPaletteToPicture")->trigger();
        QCOMPARE(w.picture().pixelIndex(0, 0), index);
        QCOMPARE(w.picture().pixel(0, 0), w.palette().rgb(index));
    }

    // Palette saves: the format of the menu item whatever filter was picked.
    void savePaletteByMenuItem()
    {
        Tfrm_Main& w = start();
        w.LoadPalette(QStringLiteral("#resource{quarn1}"));
        const struct {
            const char* item;
            int preselected;
            QByteArray bytes;
        } cases[] = {{"mi_ConvertPaletteRAW", 1, w.palette().toRaw()},
                     {"mi_ConvertPaletteRIFF", 2, w.palette().toRiff()},
                     {"mi_ConvertPaletteJASC", 3, w.palette().toJasc()}};
        for (const auto& c : cases) {
            const QString path = m_data + QString::fromLatin1(c.item) + QStringLiteral(".pal");
            m_dialogs.script(chooseFile(path, c.preselected == 1 ? 3 : 1));
            child<QAction>(c.item)->trigger();
            QCOMPARE(m_dialogs.requests().back().file.filterIndex, c.preselected);
            QCOMPARE(readBytes(path), c.bytes);
        }
        QCOMPARE(readBytes(m_data + QStringLiteral("mi_ConvertPaletteJASC.pal")).count("\r\n"), 259);
        // Loaded back, a RIFF save is the same palette.
        const Palette before = w.palette();
        w.LoadPalette(QStringLiteral("#resource{quarn2}"));
        w.LoadPalette(m_data + QStringLiteral("mi_ConvertPaletteRIFF.pal"));
        QCOMPARE(w.palette(), before);
        QCOMPARE(w.statusText(0), QStringLiteral("Done..."));
    }

    // F1 asks for the help number of the control under the pointer.
    void contextHelpAtThePointer()
    {
        Tfrm_Main& w = start();
        const auto helpAt = [&](QWidget* widget) {
            QCursor::setPos(widget->mapToGlobal(widget->rect().center()));
            m_helpPopups.clear();
            child<QAction>("act_ContextHelp")->trigger();
            return m_helpPopups.empty() ? qint64(-1) : m_helpPopups.front();
        };
        QCOMPARE(helpAt(child<QToolButton>("sb_ReloadImage")), qint64(7001));
        QCOMPARE(helpAt(child<QLineEdit>("fe_Image")), qint64(7000));
        QCOMPARE(helpAt(child<QToolButton>("sb_SelectPallet")), qint64(7008));
        QCOMPARE(helpAt(child<PictureView>("img_Picture")), qint64(7006));
        QCOMPARE(helpAt(child<QLabel>("lbl_Dim")), qint64(2147483647));
        QCOMPARE(count(25231), 5);
        Q_UNUSED(w);
    }
};

QTEST_MAIN(PictorWindowTest)
#include "main_window_test.moc"
