#pragma once
// A shown grid widget on the offscreen platform, measured and painted with
// the Liberation fonts, and helpers to read its pixels.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QTextEdit>
#include <memory>

#include "components/ProfGridWidget.h"
#include "platform/QtTextMeasurer.h"

inline QRgb Rgb(TColor c)
{
    const TColor v = fc::ColorToRGB(c);
    return qRgb(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

class GridWidgetTest : public ::testing::Test {
protected:
    void SetUp() override { fc::InstallQtTextMeasurer(); }
    void TearDown() override
    {
        grid_.reset();
        fc::SetTextMeasurer(nullptr);
    }

    // A shown grid whose client area is about w x h pixels, without scroll
    // bars unless asked.
    TProfGridWidget& MakeGrid(int w = 400, int h = 200, TScrollStyle bars = ssNone)
    {
        grid_ = std::make_unique<TProfGridWidget>();
        grid_->SetScrollBars(bars);
        grid_->resize(w, h);
        grid_->show();
        Settle();
        return *grid_;
    }
    void Settle()
    {
        QCoreApplication::processEvents();
        grid_->SyncWithModel();
        QCoreApplication::processEvents();
    }
    QImage Grab()
    {
        Settle();
        return grid_->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // Count of pixels of the colour inside r.
    static int CountColour(const QImage& img, const QRect& r, QRgb colour)
    {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (img.rect().contains(x, y) && (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                    ++n;
        return n;
    }
    // Pixels inside r that are not of the colour ("ink").
    static int CountOther(const QImage& img, const QRect& r, QRgb colour)
    {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (img.rect().contains(x, y) && (img.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF))
                    ++n;
        return n;
    }
    // Text is antialiased: true when some pixel in r is much nearer to the
    // colour than the background is.
    static bool HasInk(const QImage& img, const QRect& r, QRgb colour, QRgb background)
    {
        auto dist = [](QRgb a, QRgb b) {
            return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        };
        const int far = dist(colour, background);
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (img.rect().contains(x, y) && dist(img.pixel(x, y), colour) * 3 < far)
                    return true;
        return false;
    }
    // Sends a key press to a widget as the keyboard would.
    static void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString())
    {
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QCoreApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods, text);
        QCoreApplication::sendEvent(w, &release);
    }
    static void Type(QWidget* w, const QString& s)
    {
        for (QChar ch : s) {
            if (ch == QLatin1Char('\n'))
                Key(w, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            else
                Key(w, ch.toUpper().unicode(), Qt::NoModifier, QString(ch));
        }
    }

    std::unique_ptr<TProfGridWidget> grid_;
};
