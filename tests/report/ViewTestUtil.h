#pragma once
// Helpers of the report view tests: templates written from a short
// description, a paint device that records the texts drawn on it, and a
// fixed-pitch text measurer for the scope of a test.
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextItem>
#include <vector>

#include "ARPages.h"
#include "ARRep.h"
#include "platform/Font.h"
#include "platform/Printing.h"
#include "TestSupport.h"

namespace viewtest {

struct CellSpec {
    QString value;
    int width = 100;
    TColor color = 0xFFFFFF;
};
struct BandSpec {
    QString name;
    int height = 25;
    std::vector<CellSpec> cells;
};

// A template report of the given bands (A4 portrait, margins 0).
inline QByteArray TemplateBytes(const std::vector<BandSpec>& bands, const QString& pageName = QStringLiteral("A4"))
{
    TARRep rep;
    rep.ClearBands();
    rep.PageSize().SetName(pageName);
    for (const BandSpec& bs : bands) {
        TARBand* b = rep.AddBand();
        b->ClearCells();
        b->SetName(bs.name);
        b->SetHeight(bs.height);
        for (const CellSpec& cs : bs.cells) {
            TARCell* c = b->AddCell();
            c->SetValue(cs.value);
            c->SetWidth(cs.width);
            c->SetColor(cs.color);
        }
    }
    return ar::EncodeTemplateLines(rep.ARTemplate());
}

// Texts drawn on a device (those not clipped away), with their positions
// in device pixels.
struct DrawnText {
    QString text;
    QPointF pos;
};

class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine() : QPaintEngine(AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF& p, const QTextItem& ti) override
    {
        // Text whose baseline lies outside the clip is not seen.
        if (painter()->hasClipping() && !painter()->clipBoundingRect().contains(p))
            return;
        texts.push_back({ti.text(), painter()->combinedTransform().map(p)});
    }
    Type type() const override { return User; }
    std::vector<DrawnText> texts;
};

class RecordingDevice : public QPaintDevice {
public:
    RecordingDevice(int w, int h) : w_(w), h_(h) {}
    ~RecordingDevice() override = default;
    QPaintEngine* paintEngine() const override { return &engine_; }
    const std::vector<DrawnText>& texts() const { return engine_.texts; }
    QStringList strings() const
    {
        QStringList l;
        for (const DrawnText& t : engine_.texts)
            l << t.text;
        return l;
    }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return w_;
        case PdmHeight: return h_;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 96;
        case PdmDepth: return 32;
        case PdmNumColors: return 1 << 24;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    int w_, h_;
    mutable RecordingEngine engine_;
};

// The texts of a recorded page.
inline std::vector<DrawnText> TextsOf(const QPicture& pic, double scale = 1.0)
{
    RecordingDevice dev(100000, 100000);
    QPainter p(&dev);
    p.scale(scale, scale);
    p.drawPicture(0, 0, pic);
    p.end();
    return dev.texts();
}

// The texts of a page of the page store.
inline std::vector<DrawnText> TextsOf(const ar::Page& page, double scale = 1.0)
{
    RecordingDevice dev(100000, 100000);
    QPainter p(&dev);
    p.scale(scale, scale);
    page.Play(p);
    p.end();
    return dev.texts();
}

template <class PageT>
QStringList StringsOf(const PageT& pic)
{
    QStringList l;
    for (const DrawnText& t : TextsOf(pic))
        l << t.text;
    return l;
}

class ScopedFixedPitch {
public:
    ScopedFixedPitch() { fc::SetTextMeasurer(&m_); }
    ~ScopedFixedPitch() { fc::SetTextMeasurer(nullptr); }
private:
    FixedPitchMeasurer m_{6, 13};
};

// The Qt printer writing a PDF file, for the scope of a test. Installed,
// it stands for a printer of 1200 dpi with the margins Qt gives a PDF
// page; not installed, it is the program's printer after the user chose a
// file in the print dialog of a system without printers.
class ScopedPdfFilePrinter : public fc::QtPrinterService {
public:
    explicit ScopedPdfFilePrinter(const QString& file, bool installed = true) : installed_(installed)
    {
        Printer().setOutputFormat(QPrinter::PdfFormat);
        Printer().setOutputFileName(file);
        fc::SetPrinters(this);
    }
    ~ScopedPdfFilePrinter() override { fc::SetPrinters(nullptr); }
    bool PrinterInstalled() const override { return installed_; }

private:
    bool installed_;
};

} // namespace viewtest
