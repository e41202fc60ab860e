#pragma once
// Text measures and fonts through Qt: a TFont becomes a pixel-sized QFont
// (96 pixels per inch whatever the screen says), with the classic Windows
// face names mapped to their metric twins.

#include <QFont>

#include "Font.h"

namespace fc {

// The family fontconfig should use for a face name of the Windows world.
QString ResolveFontFamily(const QString& name);
QFont ToQFont(const TFont& f);

class QtTextMeasurer : public ITextMeasurer {
public:
    int TextWidth(const TFont& font, const QString& text) const override;
    int TextHeight(const TFont& font, const QString& text) const override;
};

// Installs a process-wide QtTextMeasurer as fc::TextMeasurer().
void InstallQtTextMeasurer();

} // namespace fc
