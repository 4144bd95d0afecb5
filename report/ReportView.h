#pragma once

#include <QAbstractScrollArea>
#include <QRect>

#include <cstdint>

class ReportDocument;

// The preview of a report document: the shown page on grey, at the zoom of the window's
// slider, painted from the page's drawing operations at every repaint, so it is sharp at
// any zoom and on any screen. Zoom 0 fits the whole page into the view; 1 to ZoomMaximum
// show it at ten times that in percent (10 is the page's real size on a screen of the
// system's logical resolution).
class ReportView : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int16_t ZoomMinimum = 0;
    static constexpr int16_t ZoomMaximum = 40;

    explicit ReportView(QWidget* parent = nullptr);

    // The document shown; not owned.
    void SetDocument(const ReportDocument* document);
    int16_t Zoom() const { return zoom_; }
    // Values outside ZoomMinimum to ZoomMaximum are brought into that range.
    void SetZoom(int16_t zoom);
    // Shows the document's current page again, from the top, after it changed.
    void Refresh();

    // "Page 2 of 8", as a screen reader says a page.
    static QString PageName(int page, int count);

    // The zoom as shown: at 0 the one nearest to the whole page's fit.
    int16_t ShownZoom() const;

    // Logical pixels per twip at the current zoom and size.
    double Scale() const;
    // Where the paper is drawn, in viewport coordinates.
    QRect PaperRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollBars();
    // "Page 2 of 8" for a screen reader, told when it changes.
    void NamePage();

    const ReportDocument* document_ = nullptr;
    int16_t zoom_ = 0;
    int shownPage_ = 0;
};
