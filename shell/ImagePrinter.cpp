#include "ImagePrinter.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/Errors.h"
#include "platform/Numbers.h"

namespace fc {

QRect FitPictureToPage(QSize picture, QSize page)
{
    if (picture.width() <= 0 || picture.height() <= 0 || page.width() <= 0 || page.height() <= 0)
        return {};
    const double pw = page.width();
    const double ph = page.height();
    double w = picture.width();
    double h = picture.height();
    const double ratio = w / h;
    if (w < pw && h < ph) {
        if (w < h) {
            h = ph;
            w = h * ratio;
        } else {
            w = pw;
            h = w / ratio;
        }
    }
    if (w > pw) {
        w = pw;
        h = w / ratio;
    }
    if (h > ph) {
        h = ph;
        w = h * ratio;
    }
    return QRect(0, 0, int(Trunc(w)), int(Trunc(h)));
}

} // namespace fc

QtImagePrinter::QtImagePrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

QtImagePrinter::~QtImagePrinter()
{
    if (painter_ && painter_->isActive())
        painter_->end();
}

bool QtImagePrinter::Execute(QWidget* parent)
{
    QPrintDialog dialog(printer_.get(), parent);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    return dialog.exec() == QDialog::Accepted;
}

void QtImagePrinter::BeginDoc()
{
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
        painter_.reset();
        throw Exception(QStringLiteral("The print job could not be started"));
    }
}

QSize QtImagePrinter::PageSize() const
{
    // The painter's origin is the top left of the printable area.
    return QSize(printer_->width(), printer_->height());
}

void QtImagePrinter::StretchDraw(const QRect& rect, const QImage& image)
{
    if (!painter_)
        throw Exception(QStringLiteral("Printer is not currently printing"));
    painter_->drawImage(rect, image);
}

void QtImagePrinter::EndDoc()
{
    if (!painter_)
        return;
    painter_->end();
    painter_.reset();
}
