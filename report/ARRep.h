#pragma once
// The report document model: a report is a vertical list of bands, a band a
// row of cells. The same classes hold templates and filled reports; each
// object reads and writes its template text through ARTemplate.
#include <QDate>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTime>
#include <exception>
#include <functional>
#include <memory>

#include "ARRepCommon.h"
#include "ARUtils.h"
#include "platform/Font.h"

class TARBand;
class TARBandList;
class TARCell;
class TARRep;
class TVirtualFileSystem;

enum TFrameSideFlag : quint8 { frLeft = 1, frRight = 2, frTop = 4, frBottom = 8 };
using TFrameStyle = quint8;
enum TSelectedCellStyle { scsNone, scsInvert, scsGray, scsSelected };
enum TFocusedCellStyle { fcsNone, fcsRect, fcsRoundRect, fcsBlackAnt, fcsRedAnt };
enum TARBandStateFlag : quint8 { arbsBeginPara = 1, arbsEndPara = 2, arbsPageBreak = 4, arbsResetPageNumber = 8 };
using TARBandState = quint8;

using TARBandChangeEvent = std::function<void(TARBandList* band)>;
using TARCellChangeEvent = std::function<void(TARBandList* band, TARCell* cell)>;

namespace ar {
// BeginUpdate in the constructor, EndUpdate in the destructor; when an
// exception passes, the bracket is closed without notifying.
template <class T>
class UpdateScope {
public:
    // Within an open bracket, closing notifies nobody either way: the
    // exception count, which costs a call each time, is not needed.
    explicit UpdateScope(T* o) : o_(o), n_(o->UpdateCount() > 0 ? -1 : std::uncaught_exceptions())
    {
        o_->BeginUpdate();
    }
    ~UpdateScope() noexcept(false)
    {
        if (n_ < 0 || std::uncaught_exceptions() > n_)
            o_->AbandonUpdate();
        else
            o_->EndUpdate();
    }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;
private:
    T* o_;
    int n_;
};
} // namespace ar

class TARCell {
public:
    TARCell();
    ~TARCell();
    TARCell(const TARCell&) = delete;
    TARCell& operator=(const TARCell&) = delete;

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    void AbandonUpdate() { --updateCount_; }
    int UpdateCount() const { return updateCount_; }
    bool Modified() const { return modified_; }

    std::function<void(TARCell*)> OnChange;
    TARBand* Band() const { return band_; }
    void SetBand(TARBand* b) { band_ = b; }

    // Per side (0 left, 1 right, 2 top, 3 bottom).
    TColor GetSideColor(int side) const { return sideColor_[side & 3]; }
    void SetSideColor(int side, TColor c);
    int GetSideWidth(int side) const { return sideWidth_[side & 3]; }
    void SetSideWidth(int side, int w);
    TLineStyle GetSideStyle(int side) const { return sideStyle_[side & 3]; }
    void SetSideStyle(int side, TLineStyle s);

    TFrameStyle FrameStyle() const;
    void SetFrameStyle(TFrameStyle s);
    TColor FrameColor() const;
    void SetFrameColor(TColor c);
    int FrameWidth() const;
    void SetFrameWidth(int w);
    TLineStyle BorderStyle() const;
    void SetBorderStyle(TLineStyle s);

    const QString& FontName() const { return fontName_; }
    void SetFontName(const QString& v) { store(fontName_, v); }
    int FontSize() const { return fontSize_; }
    void SetFontSize(int v) { store(fontSize_, v); }
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor v) { store(fontColor_, v); }
    TFontStyles FontStyle() const { return fontStyle_; }
    void SetFontStyle(TFontStyles v) { store(fontStyle_, v); }
    int TextAngle() const { return textAngle_; }
    void SetTextAngle(int v) { store(textAngle_, v); }
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int v) { store(minWidth_, v); }
    int WidthRatio() const { return widthRatio_; }
    void SetWidthRatio(int v) { store(widthRatio_, v); }
    int Width() const { return width_; }
    void SetWidth(int v) { store(width_, v); }
    THAlign HAlign() const { return hAlign_; }
    void SetHAlign(THAlign v) { store(hAlign_, v); }
    TVAlign VAlign() const { return vAlign_; }
    void SetVAlign(TVAlign v) { store(vAlign_, v); }
    TColor Color() const { return color_; }
    void SetColor(TColor v) { store(color_, v); }
    const QString& Value() const { return value_; }
    void SetValue(const QString& v) { store(value_, v); }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v) { store(wordWrap_, v); }
    bool AutoStretch() const { return autoStretch_; }
    void SetAutoStretch(bool v) { store(autoStretch_, v); }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v) { store(autoSize_, v); }
    bool Tile() const { return tile_; }
    void SetTile(bool v) { store(tile_, v); }
    bool Selected() const { return selected_; }
    void SetSelected(bool v) { store(selected_, v); }
    bool Focused() const { return focused_; }
    void SetFocused(bool v) { store(focused_, v); }
    bool IsRTF() const { return isRTF_; }
    void SetIsRTF(bool v) { store(isRTF_, v); }
    bool Shared() const { return shared_; }
    void SetShared(bool v) { store(shared_, v); }
    const QString& UserVar() const { return userVar_; }
    void SetUserVar(const QString& v) { store(userVar_, v); }
    int UserVarValue() const { return userVarValue_; }
    void SetUserVarValue(int v) { store(userVarValue_, v); }
    bool LinkPictureToFile() const { return linkPictureToFile_; }
    void SetLinkPictureToFile(bool v);
    const QString& PictureFileName() const { return pictureFileName_; }
    void SetPictureFileName(const QString& name);

    // Created empty on first access.
    TPicture& Picture();
    bool HasPictureObject() const { return picture_ != nullptr; }
    bool HasGraphic() const { return picture_ && picture_->HasGraphic(); }
    void SetPicture(const TPicture& p);
    void FreePicture();

    int DrawnOffset = 0; // pixels shown on earlier pages
    int RTFStart = 0;    // where rich text continues on the next page
    void ResetContinuation()
    {
        DrawnOffset = 0;
        RTFStart = 0;
    }

    void CopyFrom(const TARCell& src);

    // Vertical spans.
    TARBand* MasterBand() const;
    TARCell* MasterCell() const;
    bool IsContinuation() const;
    TARBand* LastSpanBand() const;

    // Values and variables.
    void ParseVarNames();
    const TAIStringList& VarNameList();
    void LoadLinkedPicture();

    // Typed views of Value.
    QString S() const { return value_; }
    void SetS(const QString& v) { SetValue(v); }
    double F() const;
    void SetF(double v);
    int I() const;
    void SetI(int v);
    QDate D() const;
    void SetD(const QDate& v);
    QTime T() const;
    void SetT(const QTime& v);
    double C() const;
    void SetC(double v);
    double M() const;
    void SetM(double v);
    TPicture& G() { return Picture(); }
    void SetG(const TPicture& p) { SetPicture(p); }

    int CalcHeight(const TCanvas& canvas) const;
    void Draw(TCanvas& canvas, const TRect& rect, const TRect& clip, TSelectedCellStyle selStyle,
              TFocusedCellStyle focStyle);
    int DrawPart(TCanvas& canvas, const TRect& rect, const TRect& clip);
    void DrawFrames(TCanvas& canvas, const TRect& rect) const;
    void DrawPicture(TCanvas& canvas, const TRect& inner) const;

    QStringList ARTemplate() const;
    void SetARTemplate(const QStringList& lines);

private:
    template <class T>
    void store(T& field, const T& v)
    {
        if (field == v)
            return;
        ar::UpdateScope<TARCell> scope(this);
        field = v;
        modified_ = true;
    }
    void touch()
    {
        ar::UpdateScope<TARCell> scope(this);
        modified_ = true;
    }
    void Changed();
    void applyCanvasFont(TCanvas& canvas, TColor color) const;
    void drawCrossedBox(TCanvas& canvas, const TRect& rect) const;

    std::unique_ptr<TPicture> picture_;
    TColor sideColor_[4] = {0, 0, 0, 0};
    int sideWidth_[4] = {1, 1, 1, 1};
    TLineStyle sideStyle_[4] = {cbsSolid, cbsSolid, cbsSolid, cbsSolid};
    QString fontName_ = QStringLiteral("ARIAL");
    int fontSize_ = 10;
    TColor fontColor_ = 0;
    TFontStyles fontStyle_ = 0;
    int textAngle_ = 0;
    int minWidth_ = 0;
    int widthRatio_ = 0;
    int width_ = 100;
    THAlign hAlign_ = ahCenter;
    TVAlign vAlign_ = avTop;
    TColor color_ = 0xFFFFFF;
    QString value_ = QStringLiteral("Cell");
    bool wordWrap_ = true, autoStretch_ = true, autoSize_ = false, tile_ = false, selected_ = false,
         focused_ = false, isRTF_ = false, shared_ = false;
    QString userVar_;
    int userVarValue_ = 0;
    int updateCount_ = 0;
    bool linkPictureToFile_ = true;
    QString pictureFileName_;
    TARBand* band_ = nullptr;
    bool modified_ = false;
    std::unique_ptr<TAIStringList> varNameList_;
};

class TARBandList {
public:
    TARBandList();
    virtual ~TARBandList();
    TARBandList(const TARBandList&) = delete;
    TARBandList& operator=(const TARBandList&) = delete;

    TARBandList* Parent() const { return parent_; }
    void SetParent(TARBandList* p) { parent_ = p; }
    int Top() const { return top_; }
    void SetTop(int t) { top_ = t; }
    int Height() const { return height_; }
    void SetHeight(int h);

    int BandCount() const { return bands_.Count(); }
    // Raises the list index error for an index outside the list.
    TARBand* GetBandItem(int i) const;
    int IndexOfBand(const TARBandList* b) const
    {
        // Page building asks for every cell of every band in turn: the band
        // found last and the one after it are tried first (a band is in its
        // list once).
        const TARBand* band = reinterpret_cast<const TARBand*>(b);
        for (const int i : {indexHint_, indexHint_ + 1})
            if (i >= 0 && i < bands_.Count() && bands_[i] == band) {
                indexHint_ = i;
                return i;
            }
        const int i = bands_.IndexOf(band);
        if (i >= 0)
            indexHint_ = i;
        return i;
    }
    void AppendBand(TARBand* band);
    void ClearBands();
    void RecalcTops(int from);

    bool Expanded() const { return expanded_; }
    void SetExpanded(bool e);
    bool Expandable() const { return BandCount() > 0; }
    void Expand();
    void Collapse();

    const QString& Name() const { return name_; }
    void SetName(const QString& n);
    bool Marked() const { return !mark_.isNull(); }
    void SetMarked(bool m);
    const QImage& Mark() const { return mark_; }
    void SetMark(const QImage& m);
    int ID = 0;
    QString Tag;

    std::function<void(TARBandList*)> OnChange;
    TARBandChangeEvent OnBandChange;
    TARCellChangeEvent OnCellChange;

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    void AbandonUpdate() { --updateCount_; }
    int UpdateCount() const { return updateCount_; }
    bool Modified() const { return modified_; }
    void SetModified() { modified_ = true; }

    QStringList ARTemplate() const { return GetARTemplate(); }
    void SetARTemplate(const QStringList& lines);

    // Forwarders installed as the events of appended bands.
    void BandChanged(TARBandList* band);
    void CellChanged(TARBandList* band, TARCell* cell);

protected:
    virtual void Changed();
    virtual QStringList GetARTemplate() const { return {}; }
    virtual void ARTemplateChange(const QStringList&) {}
    TAIList<TARBand>& bands() { return bands_; }
    const TAIList<TARBand>& bands() const { return bands_; }
    QImage mark_;

private:
    TARBandList* parent_ = nullptr;
    int top_ = 0;
    int height_ = 0;
    TAIList<TARBand> bands_{QStringLiteral("TARBandList.bands")};
    mutable int indexHint_ = 0;
    bool expanded_ = false;
    QString name_;
    int updateCount_ = 0;
    bool modified_ = false;
};

class TARBand : public TARBandList {
public:
    explicit TARBand(TARRep* orgRep = nullptr);
    // A copy of src's cells, name and height, made without the default cells.
    TARBand(TARRep* orgRep, const TARBand& src);
    ~TARBand() override;

    TARRep* OrgRep() const { return orgRep_; }
    int CellCount() const { return cells_.Count(); }
    TARCell* GetCell(int i) const { return i >= 0 && i < CellCount() ? cells_[i] : nullptr; }
    TARCell* AddCell();
    void ClearCells();
    int IndexOfCell(const TARCell* c) const { return cells_.IndexOf(c); }
    void CopyFrom(const TARBand& src);
    int CellLeft(int i) const;
    int CellRight(int i) const;
    int Width() const;
    bool Selected() const;
    void SetSelected(bool s);
    void StretchToWidth(TCanvas& canvas, int totalWidth);
    TARBandState BandState = 0;

    // The cell's change event: forwarded to the band's OnCellChange.
    void CellChanged(TARCell* cell);

protected:
    void Changed() override;
    QStringList GetARTemplate() const override;
    void ARTemplateChange(const QStringList& lines) override;

private:
    TAIList<TARCell> cells_{QStringLiteral("TARBand.CellList")};
    TARRep* orgRep_;
};

class TARRep : public TARBandList {
public:
    TARRep();
    ~TARRep() override;

    TARBand* AddBand();
    TARBand* GetBand(int i) const;
    int GetBandTop(int i) const;
    int SpanHeight(const TARBand* band) const;
    TARPageSize& PageSize();
    const TARPageSize& PageSize() const { return const_cast<TARRep*>(this)->PageSize(); }
    // Reads a template file (through FileSystem when one is assigned);
    // raises and leaves the report unchanged when the file cannot be read.
    void Load(const QString& fileName);
    // The bytes of a template file, through the file system when there is one.
    QByteArray ReadFile(const QString& fileName);

    TAIStringList& UserVarList() { return userVars_; }
    const TAIStringList& UserVarList() const { return userVars_; }
    TFont Font;
    quint8 Orientation = 0;
    double LeftMargin = 0, TopMargin = 0, RightMargin = 0, BottomMargin = 0;
    TVirtualFileSystem* FileSystem = nullptr;

protected:
    QStringList GetARTemplate() const override;
    void ARTemplateChange(const QStringList& lines) override;

private:
    TAIStringList userVars_{QStringLiteral("TARRep.FUserVarList")};
    mutable std::unique_ptr<TARPageSize> pageSize_;
};
