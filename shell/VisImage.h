#pragma once
// TImgs: the small picture window. Created hidden at start-up; its size,
// kept in select.ini, is the box the main window scales product pictures
// into (Width, Height). It also has its own picture area, which follows
// the window's size, and prints that picture on one page.

#include <QImage>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

#include "ImagePrinter.h"

namespace Ui {
class TImgs;
}
class QLabel;

class TImgs : public QMainWindow {
    Q_OBJECT
public:
    // Called at the end of the window's creation, once its bounds are
    // restored (and Imgs points to it): the main window shows the first
    // family's picture there, scaled to this window's size.
    using CreateHook = std::function<void(TImgs& imgs)>;

    explicit TImgs(CreateHook onCreate = {}, QWidget* parent = nullptr);
    ~TImgs() override;

    // Bounds as select.ini keeps them: the window's position and size.
    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }

    // The bitmap of Image1 (null: empty).
    const QImage& Bitmap() const { return bitmap_; }
    void SetBitmap(const QImage& bitmap);
    QLabel* Image1() const;

    // The printer of Stampa; a Qt printer unless one was set.
    IImagePrinter& Printer();
    void SetPrinter(std::unique_ptr<IImagePrinter> printer);

    // Handlers.
    void FormDeactivate();
    void FormShow();
    void Stampa1Click();
    void Esci1Click();

    // Resizes bitmap by percent (negative: smaller), each side changed by
    // its size * percent / 100 rounded half away from zero. Nothing changes
    // for percent 0, when either change rounds to 0, or when the new bitmap
    // cannot be made (no area left, out of memory).
    static void ScalePercentBmp(QImage& bitmap, int percent);

    static constexpr int DefaultLeft = 0;
    static constexpr int DefaultTop = 0;
    static constexpr int DefaultHeight = 160;
    static constexpr int DefaultWidth = 200;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate(const CreateHook& onCreate);

    std::unique_ptr<Ui::TImgs> ui_;
    QImage bitmap_;
    QString settingsFile_;
    std::unique_ptr<IImagePrinter> printer_;
};

// The one instance, created at start-up (the third window).
extern TImgs* Imgs;
