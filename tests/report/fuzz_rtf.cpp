// Rich text: reading, measuring and drawing in parts never crash, and drawing
// in parts always ends.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

#include "ARUtils.h"
#include "platform/QtTextMeasurer.h"
#include "platform/RtfReader.h"

static void ensureApp()
{
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_rtf";
        static char* argv[] = {name, nullptr};
        auto* a = new QGuiApplication(argc, argv);
        std::atexit([] { delete QGuiApplication::instance(); });
        return a;
    }();
    (void)app;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ensureApp();
    if (size > 20000)
        return 0;
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument doc;
    fc::ReadRtf(text, doc, fc::ToQFont(MakeFont("Arial", 10)));

    QImage img(120, 60, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    TCanvas canvas(&painter);
    const TRect r = Rect(0, 0, 100, 100000);
    TextHeight(canvas, text, 100, 0, true, true);
    int start = 0;
    for (int page = 0; page < 10000; ++page) {
        const int before = start;
        if (!DrawRTFPart(canvas, text, r, Rect(0, 0, 100, 40), true, ahLeft, start))
            return 0;
        if (start <= before)
            std::abort(); // drew without moving on
    }
    std::abort(); // never ended
}
