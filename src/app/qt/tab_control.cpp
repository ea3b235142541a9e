#include "app/qt/tab_control.h"

#include "app/qt/look.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

namespace chengxi::qt {
namespace {

class StripTabBar final : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override {
        QSize size = QTabBar::tabSizeHint(index);
        size.setHeight(TabControl::kStripHeight);
        return size;
    }
};

} // namespace

TabControl::TabControl(const QStringList& captions, const QFont& tabFont, QWidget* parent)
    : QWidget(parent), bar_(new StripTabBar(this)) {
    bar_->setFont(tabFont);
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    bar_->setUsesScrollButtons(true);
    for (const QString& caption : captions) {
        bar_->addTab(caption);
        auto* page = new QWidget(this);
        page->setObjectName(QStringLiteral("page-%1").arg(pages_.size()));
        page->setFocusPolicy(Qt::NoFocus);
        page->hide();
        pages_.push_back(page);
    }
    // The pages lie below the strip so that its tabs stay clickable.
    bar_->raise();
    // Focus given to the control (a page without an edit box) lands on its tabs.
    setFocusProxy(bar_);
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
        showPage(index);
        if (!settingPage_) {
            emit pageChosen(index);
        }
    });
    showPage(bar_->currentIndex());
}

QWidget* TabControl::page(int index) const {
    return (index >= 0 && index < pageCount()) ? pages_[index] : nullptr;
}

int TabControl::currentPage() const {
    return bar_->currentIndex();
}

void TabControl::setCurrentPage(int index) {
    if (index < 0 || index >= pageCount() || index == bar_->currentIndex()) {
        return;
    }
    settingPage_ = true;
    bar_->setCurrentIndex(index);
    settingPage_ = false;
}

void TabControl::showPage(int index) {
    for (int i = 0; i < pageCount(); ++i) {
        pages_[i]->setVisible(i == index);
    }
}

void TabControl::resizeEvent(QResizeEvent*) {
    bar_->setGeometry(2, 0, std::min(bar_->sizeHint().width(), width() - 4), kStripHeight);
    for (QWidget* page : pages_) {
        page->setGeometry(rect());
    }
}

void TabControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(0, kStripHeight - overlap, width(), height() - kStripHeight + overlap);
    frame.shape = QTabBar::RoundedNorth;
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    frame.tabBarSize = bar_->size();
    frame.tabBarRect = bar_->geometry();
    if (bar_->currentIndex() >= 0) {
        frame.selectedTabRect = bar_->tabRect(bar_->currentIndex()).translated(bar_->pos());
    }
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
    painter.fillRect(frame.rect.adjusted(1, 1, -1, -1), pageBackground());
    // The style's own outline fades into the blue window at the bottom: the
    // page area gets a border that shows on every side, open under the tab
    // in front so that the tab and its page stay one piece.
    const QRect area = frame.rect;
    painter.setPen(frameLine());
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.bottomRight(), area.topRight());
    const int gapLeft =
        frame.selectedTabRect.isNull() ? area.right() : frame.selectedTabRect.left();
    const int gapRight =
        frame.selectedTabRect.isNull() ? area.right() : frame.selectedTabRect.right();
    painter.drawLine(QPoint(area.left(), area.top()), QPoint(gapLeft, area.top()));
    painter.drawLine(QPoint(gapRight, area.top()), QPoint(area.right(), area.top()));
}

} // namespace chengxi::qt
