#pragma once
// Pages with tabs at the bottom. A user's page change (click, keyboard,
// wheel on the tabs) first asks OnChanging, which can refuse it before
// anything happens, and runs OnChange after it. Activating or hiding a page
// by code runs neither.

#include <QTabWidget>
#include <functional>

class TPageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TPageControl(QWidget* parent = nullptr);

    int PageCount() const { return count(); }
    QWidget* Page(int index) const; // raises EListError for a bad index
    int IndexOfPage(const QWidget* page) const { return indexOf(const_cast<QWidget*>(page)); }

    int ActivePageIndex() const { return currentIndex(); }
    QWidget* ActivePage() const { return currentWidget(); }
    void SetActivePageIndex(int index);
    void SetActivePage(QWidget* page);

    // Whether a page's tab is shown. Hiding the active page's tab moves to
    // another page; code can still activate a page whose tab is hidden (it
    // shows without its tab), the user cannot.
    bool TabVisible(int index) const;
    void SetTabVisible(int index, bool visible);

    // allow starts true; clearing it keeps the current page. An exception
    // leaving the handler also keeps it.
    std::function<void(bool& allow)> OnChanging;
    std::function<void()> OnChange;

    // For the tab bar: whether the user may leave the current page, and the
    // change made on the user's behalf.
    bool UserMayChange();
    void UserChange(const std::function<void()>& change);

    // The control takes the height its window gives it, whichever page is
    // shown: a page whose texts wrap would otherwise fix the height by the
    // width, and the tabs and everything under them would move from one
    // page to the next.
    bool hasHeightForWidth() const override { return false; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void currentPageChanged();
    void checkIndexOrRaise(int index) const;
    int userDepth_ = 0;
    bool asking_ = false;
};
