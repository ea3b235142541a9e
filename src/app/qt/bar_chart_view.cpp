// A list view of the model drawn as a bar chart: column 0 the groups along
// the axis, each further column one series of bars.
#include "app/qt/control_view.h"
#include "app/qt/qt_text.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFont>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

namespace chengxi::qt {
namespace {

class BarChartView final : public ControlView {
public:
    BarChartView(ui::Control& control, QChartView* view, FormInput& input)
        : ControlView(control, view, input), view_(view) {
        view_->setRenderHint(QPainter::Antialiasing);
        rebuild(control.listView());
    }

protected:
    void syncState(ui::Control& control) override {
        if (control.listView().revision() != revision_) {
            rebuild(control.listView());
        }
    }

private:
    void rebuild(const ui::ListView& list) {
        revision_ = list.revision();
        auto owned = std::make_unique<QChart>();
        QChart* chart = owned.get();
        chart->legend()->setAlignment(Qt::AlignBottom);
        chart->setMargins(QMargins(2, 2, 2, 2));
        chart->setBackgroundRoundness(0);
        auto* series = new QBarSeries(chart);
        QStringList groups;
        for (int r = 0; r < list.rowCount(); ++r) {
            groups << toQString(list.cell(r, 0));
        }
        double highest = 0;
        const int columns = static_cast<int>(list.columns().size());
        for (int c = 1; c < columns; ++c) {
            auto* bars = new QBarSet(toQString(list.columns()[c].caption), series);
            for (int r = 0; r < list.rowCount(); ++r) {
                const double value = toQString(list.cell(r, c)).toDouble();
                highest = std::max(highest, value);
                *bars << value;
            }
            series->append(bars);
        }
        chart->addSeries(series);
        auto* axisX = new QBarCategoryAxis(chart);
        axisX->append(groups);
        // Twelve months side by side in a narrow chart: small labels keep them whole.
        QFont labels = axisX->labelsFont();
        labels.setPixelSize(9);
        axisX->setLabelsFont(labels);
        chart->addAxis(axisX, Qt::AlignBottom);
        series->attachAxis(axisX);
        auto* axisY = new QValueAxis(chart);
        // Whole loans: ticks at whole steps from 0, about five of them.
        const double step = std::max(1.0, std::ceil(highest / 5));
        axisY->setRange(0, step * std::max(1.0, std::ceil(highest / step)));
        axisY->setTickType(QValueAxis::TicksDynamic);
        axisY->setTickAnchor(0);
        axisY->setTickInterval(step);
        axisY->setLabelFormat(QStringLiteral("%d"));
        chart->addAxis(axisY, Qt::AlignLeft);
        series->attachAxis(axisY);
        // The view takes the new chart and gives the one it showed back.
        const std::unique_ptr<QChart> replaced(view_->chart());
        view_->setChart(owned.release());
    }

    QChartView* view_;
    std::uint64_t revision_ = 0;
};

} // namespace

std::unique_ptr<ControlView> makeBarChartView(ui::Control& control, QWidget* parent,
                                              FormInput& input) {
    auto* view = new QChartView(parent);
    return std::make_unique<BarChartView>(control, view, input);
}

} // namespace chengxi::qt
