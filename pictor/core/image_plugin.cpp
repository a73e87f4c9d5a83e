// The plugin is built into pictor_core rather than loaded from a plugin folder: with this defined,
// moc gives it a qt_static_plugin_...() function for qRegisterStaticPluginFunction instead of the
// entry points of a loadable library. It must come before any Qt header.
#define QT_STATICPLUGIN

#include "image_plugin.h"

#include <QIODevice>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QtPlugin>

#include "pcx_codec.h"
#include "tga_codec.h"

namespace pictor {

namespace {

// Recognising a file without a suffix asks the codecs' own header checks, so the plugin takes only
// what our readers read and never another format's file.
bool looksLikePcx(QIODevice* device)
{
    return isPcxHeader(device->peek(kPcxHeaderCheckSize));
}

bool looksLikeTga(QIODevice* device)
{
    return isTgaHeader(device->peek(kTgaHeaderSize));
}

class PcxHandler final : public QImageIOHandler {
public:
    bool canRead() const override
    {
        if (!device() || !looksLikePcx(device())) return false;
        setFormat("pcx");
        return true;
    }

    bool read(QImage* image) override
    {
        TPCXBitmap picture;
        if (!picture.LoadFromStream(device(), nullptr)) return false;
        *image = picture;
        return true;
    }
};

class TgaHandler final : public QImageIOHandler {
public:
    bool canRead() const override
    {
        if (!device() || !looksLikeTga(device())) return false;
        setFormat("tga");
        return true;
    }

    bool read(QImage* image) override
    {
        TTGAimage picture;
        if (!picture.LoadFromStream(device(), nullptr)) return false;
        *image = picture;
        return true;
    }

    bool write(const QImage& image) override { return TTGAimage(image).SaveToStream(device(), nullptr); }
};

}  // namespace

class ImageFormatsPlugin final : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "image_plugin.json")

public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override
    {
        if (format == "pcx") return CanRead;
        if (format == "tga") return CanRead | CanWrite;
        if (!format.isEmpty() || !device || !device->isReadable()) return {};
        return looksLikePcx(device) || looksLikeTga(device) ? CanRead : Capabilities{};
    }

    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override
    {
        QByteArray chosen = format;
        if (chosen.isEmpty() && device && device->isReadable())
            chosen = looksLikePcx(device) ? "pcx" : looksLikeTga(device) ? "tga" : "";
        QImageIOHandler* handler = nullptr;
        if (chosen == "pcx")
            handler = new PcxHandler;
        else if (chosen == "tga")
            handler = new TgaHandler;
        else
            return nullptr;
        handler->setDevice(device);
        handler->setFormat(chosen);
        return handler;
    }
};

QString imageFormatDescription(const QByteArray& format)
{
    if (format == "pcx") return QStringLiteral("PCX-Format");
    if (format == "tga") return QStringLiteral("Targa image");
    return {};
}

}  // namespace pictor

#include "image_plugin.moc"

void pictor::registerImageFormats()
{
    static const bool registered = [] {
        qRegisterStaticPluginFunction(qt_static_plugin_ImageFormatsPlugin());
        return true;
    }();
    Q_UNUSED(registered);
}
