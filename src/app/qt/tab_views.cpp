// The tab control, the combo box and the progress bar.
#include "app/qt/control_view.h"
#include "app/qt/look.h"
#include "app/qt/qt_text.h"
#include "app/qt/tab_control.h"

#include <QComboBox>
#include <QProgressBar>
#include <QTabBar>
#include <algorithm>

namespace chengxi::qt {
namespace {

QStringList toQStrings(const std::vector<std::string>& texts) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& text : texts) {
        list.append(toQString(text));
    }
    return list;
}

class TabView final : public ControlView {
public:
    TabView(ui::Control& control, TabControl* tabs, FormInput& input)
        : ControlView(control, tabs, input), tabs_(tabs) {
        QObject::connect(tabs, &TabControl::pageChosen, context(), [this](int page) {
            ui::Control* model = acceptingControl();
            if (model == nullptr) {
                return;
            }
            const int before = model->currentPage();
            model->setCurrentPage(page);
            if (model->currentPage() != before) {
                this->input().fire(name(), ui::Event::PageChanged);
            }
        });
    }

    QWidget* childArea(int page) const override { return tabs_->page(page); }

protected:
    void syncState(ui::Control& control) override { tabs_->setCurrentPage(control.currentPage()); }

private:
    TabControl* tabs_;
};

class ComboView final : public ControlView {
public:
    ComboView(ui::Control& control, QComboBox* combo, FormInput& input)
        : ControlView(control, combo, input), combo_(combo) {
        QObject::connect(combo, &QComboBox::activated, context(), [this](int index) {
            ui::Control* model = acceptingControl();
            if (model == nullptr) {
                return;
            }
            const int before = model->currentItem();
            model->setCurrentItem(index);
            if (model->currentItem() != before) {
                this->input().fire(name(), ui::Event::SelectionChanged);
            }
        });
    }

protected:
    void syncState(ui::Control& control) override {
        const QStringList items = toQStrings(control.items());
        if (combo_->count() != items.size() || shown_ != items) {
            combo_->clear();
            combo_->addItems(items);
            shown_ = items;
        }
        if (combo_->currentIndex() != control.currentItem()) {
            combo_->setCurrentIndex(control.currentItem());
        }
    }

private:
    QComboBox* combo_;
    QStringList shown_;
};

class ProgressView final : public ControlView {
public:
    ProgressView(ui::Control& control, QProgressBar* bar, FormInput& input)
        : ControlView(control, bar, input), bar_(bar) {}

protected:
    void syncState(ui::Control& control) override {
        const int maximum = std::max(control.maximum(), 0);
        if (bar_->maximum() != maximum) {
            bar_->setRange(0, maximum);
        }
        const int position = std::clamp(control.position(), 0, maximum);
        if (bar_->value() != position) {
            bar_->setValue(position);
        }
    }

private:
    QProgressBar* bar_;
};

} // namespace

std::unique_ptr<ControlView> makeTabView(ui::Control& control, QWidget* parent, FormInput& input) {
    const QFont tabFont = fontFor(control.record().font, parent->font());
    auto* tabs = new TabControl(toQStrings(control.pageCaptions()), tabFont, parent);
    return std::make_unique<TabView>(control, tabs, input);
}

std::unique_ptr<ControlView> makeComboView(ui::Control& control, QWidget* parent,
                                           FormInput& input) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(false);
    combo->setFont(fontFor(control.record().font, parent->font()));
    return std::make_unique<ComboView>(control, combo, input);
}

std::unique_ptr<ControlView> makeProgressView(ui::Control& control, QWidget* parent,
                                              FormInput& input) {
    auto* bar = new QProgressBar(parent);
    bar->setTextVisible(false);
    return std::make_unique<ProgressView>(control, bar, input);
}

} // namespace chengxi::qt
