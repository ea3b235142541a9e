#pragma once

#include <QStringList>
#include <QWidget>
#include <vector>

class QTabBar;

namespace chengxi::qt {

// A tab strip with pages. Unlike QTabWidget, every page covers the whole
// control, tab strip included, because the forms place the controls of a page
// relative to the tab control's own top left corner.
class TabControl : public QWidget {
    Q_OBJECT
public:
    TabControl(const QStringList& captions, const QFont& tabFont, QWidget* parent);

    int pageCount() const { return static_cast<int>(pages_.size()); }
    QWidget* page(int index) const;
    int currentPage() const;
    // Brings the page to the front without reporting it as a person's choice.
    void setCurrentPage(int index);
    QTabBar* tabBar() const { return bar_; }

    // The height of the tab strip.
    static constexpr int kStripHeight = 24;

signals:
    // A person brought another page to the front.
    void pageChosen(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPage(int index);

    QTabBar* bar_;
    std::vector<QWidget*> pages_;
    bool settingPage_ = false;
};

} // namespace chengxi::qt
