#pragma once
// Printing one picture on one page: the page-fitting arithmetic of the
// image window, and the few printer calls it needs behind an interface so
// that tests can record what would be drawn.

#include <QImage>
#include <QRect>
#include <QSize>
#include <memory>

class QPrinter;
class QPainter;
class QWidget;

namespace fc {

// The rectangle, at the page's top left, that a picture of that size is
// drawn into on a printable page of that size (both in pixels): a picture
// smaller than the page both ways is first enlarged (by its height when it
// is taller than wide, else by its width), then it is made to fit the width
// and the height, keeping its proportions; sizes are cut to whole pixels.
// Empty when the picture or the page has no area.
QRect FitPictureToPage(QSize picture, QSize page);

} // namespace fc

class IImagePrinter {
public:
    virtual ~IImagePrinter() = default;
    // The print dialog; true when the user confirmed it.
    virtual bool Execute(QWidget* parent) = 0;
    // Starts a job on the chosen printer; throws Exception when it cannot.
    virtual void BeginDoc() = 0;
    // Printable area of the page in printer pixels (valid after BeginDoc).
    virtual QSize PageSize() const = 0;
    virtual void StretchDraw(const QRect& rect, const QImage& image) = 0;
    // Ends the job started by BeginDoc.
    virtual void EndDoc() = 0;
};

// QPrinter and QPrintDialog.
class QtImagePrinter : public IImagePrinter {
public:
    QtImagePrinter();
    ~QtImagePrinter() override;

    bool Execute(QWidget* parent) override;
    void BeginDoc() override;
    QSize PageSize() const override;
    void StretchDraw(const QRect& rect, const QImage& image) override;
    void EndDoc() override;

    QPrinter& Printer() { return *printer_; }

private:
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
};
