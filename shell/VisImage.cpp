#include "VisImage.h"
#include "Impostazioni.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QResizeEvent>
#include <cstdlib>
#include <limits>

#include "platform/Application.h"
#include "platform/IniFile.h"
#include "platform/Numbers.h"
#include "platform/ProgramFolder.h"
#include "ui_TImgs.h"

TImgs* Imgs = nullptr;

namespace {

const QString kSection = QStringLiteral("Default");
const QString kLeft = QStringLiteral("VisImagesX");
const QString kTop = QStringLiteral("VisImagesY");
const QString kHeight = QStringLiteral("VisImagesH");
const QString kWidth = QStringLiteral("VisImagesW");


// size * percent / 100, a half rounded away from zero.
qint64 percentOf(int size, int percent)
{
    const qint64 n = qint64(size) * percent;
    const qint64 q = (std::llabs(n) + 50) / 100;
    return n < 0 ? -q : q;
}

} // namespace

TImgs::TImgs(CreateHook onCreate, QWidget* parent) : QMainWindow(parent), ui_(std::make_unique<Ui::TImgs>())
{
    ui_->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    connect(ui_->Stampa1, &QAction::triggered, this, fc::Guarded([this] { Stampa1Click(); }));
    connect(ui_->Esci1, &QAction::triggered, this, fc::Guarded([this] { Esci1Click(); }));
    // As the start-up creates its windows: the instance is reachable while
    // its own creation handler runs.
    Imgs = this;
    // A failing creation handler is shown; the window exists all the same.
    fc::RunHandler([&] { FormCreate(onCreate); });
}

TImgs::~TImgs()
{
    if (Imgs == this)
        Imgs = nullptr;
}

QLabel* TImgs::Image1() const { return ui_->Image1; }

void TImgs::FormCreate(const CreateHook& onCreate)
{
    settingsFile_ = fc::ProgramFile(QStringLiteral("select.ini"));
    const fc::IniFile ini(settingsFile_);
    // A place on a desktop of screens side by side, and a size a window
    // can have.
    TImpostazioni valori(ini, settingsFile_);
    const QString posto = QStringLiteral("a position from -32768 to 32767 pixels");
    const QString misura = QStringLiteral("a size from 1 to 32767 pixels");
    const int left = valori.Intero(kSection, kLeft, DefaultLeft, -32768, 32767, posto);
    const int top = valori.Intero(kSection, kTop, DefaultTop, -32768, 32767, posto);
    const int height = valori.Intero(kSection, kHeight, DefaultHeight, 1, 32767, misura);
    const int width = valori.Intero(kSection, kWidth, DefaultWidth, 1, 32767, misura);
    valori.Avvisa();
    move(left, top);
    resize(width, height);
    if (onCreate)
        onCreate(*this);
}

void TImgs::FormDeactivate()
{
    fc::IniFile ini(settingsFile_);
    ini.WriteString(kSection, kLeft, fc::IntToStr(Left()));
    ini.WriteString(kSection, kTop, fc::IntToStr(Top()));
    ini.WriteString(kSection, kHeight, fc::IntToStr(Height()));
    ini.WriteString(kSection, kWidth, fc::IntToStr(Width()));
}

void TImgs::SetBitmap(const QImage& bitmap)
{
    bitmap_ = bitmap;
    ui_->Image1->setPixmap(bitmap_.isNull() ? QPixmap() : QPixmap::fromImage(bitmap_));
}

void TImgs::FormShow()
{
    if (bitmap_.isNull())
        return;
    const double rw = double(Width()) / bitmap_.width();
    const double rh = double(Height()) / bitmap_.height();
    const double ratio = rw < rh ? rw : rh;
    const qint64 p = fc::Round(ratio * 100);
    const qint64 percent = p - 100;
    if (percent > std::numeric_limits<int>::max())
        return; // far beyond any bitmap that could be made
    QImage scaled = bitmap_;
    ScalePercentBmp(scaled, int(percent));
    if (scaled.size() != bitmap_.size())
        SetBitmap(scaled);
}

void TImgs::ScalePercentBmp(QImage& bitmap, int percent)
{
    if (percent == 0 || bitmap.isNull())
        return;
    const qint64 dh = percentOf(bitmap.height(), percent);
    const qint64 dw = percentOf(bitmap.width(), percent);
    if (dh == 0 || dw == 0)
        return;
    const qint64 w = bitmap.width() + dw;
    const qint64 h = bitmap.height() + dh;
    // A bitmap without area would be the end of the picture: further
    // resizes could never bring it back.
    if (w < 1 || h < 1 || w > std::numeric_limits<int>::max() || h > std::numeric_limits<int>::max())
        return;
    QImage stretched = bitmap.scaled(int(w), int(h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (stretched.isNull() || stretched.width() != w || stretched.height() != h)
        return;
    bitmap = std::move(stretched);
}

IImagePrinter& TImgs::Printer()
{
    if (!printer_)
        printer_ = std::make_unique<QtImagePrinter>();
    return *printer_;
}

void TImgs::SetPrinter(std::unique_ptr<IImagePrinter> printer) { printer_ = std::move(printer); }

void TImgs::Stampa1Click()
{
    IImagePrinter& printer = Printer();
    if (!printer.Execute(this))
        return;
    // An empty picture area has nothing to print: no blank page.
    if (bitmap_.isNull())
        return;
    printer.BeginDoc();
    struct EndJob {
        IImagePrinter& p;
        ~EndJob() { p.EndDoc(); }
    } endJob{printer};
    printer.StretchDraw(fc::FitPictureToPage(bitmap_.size(), printer.PageSize()), bitmap_);
}

void TImgs::Esci1Click() { close(); }

void TImgs::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    fc::RunHandler([this] { FormShow(); });
}

void TImgs::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        fc::RunHandler([this] { FormDeactivate(); });
}
