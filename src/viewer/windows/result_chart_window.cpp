#include "viewer/windows/result_chart_window.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QScatterSeries>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "viewer/windows/window_frame.h"

namespace vema {

namespace {

constexpr int kDefaultWidth = 860;
constexpr int kDefaultHeight = 580;

// The history series in drop-down order, with their colours and the value
// of a history entry each one plots.
struct HistorySeriesLook {
  const char* name;
  QColor colour;
  int OBJ_VALUE::*value;
};
const std::array<HistorySeriesLook, ResultChartWindow::kHistorySeries> kHistoryLooks = {{
    {"Num. of Late Orders", QColor(255, 0, 0), &OBJ_VALUE::n_of_Late_Orders},
    {"Num. of Late Jobs", QColor(0, 255, 0), &OBJ_VALUE::n_of_Late_Jobs},
    {"Max. Tardiness", QColor(255, 255, 255), &OBJ_VALUE::max_Tardiness},
    {"Num. of Setups", QColor(255, 128, 0), &OBJ_VALUE::n_of_Setup},
    {"Completion Time", QColor(128, 128, 128), &OBJ_VALUE::Completion_Time},
}};

const QColor kImprovementColour(0, 255, 0);

// The "Measuring" bars: rand, heur, search.
struct BarLook {
  const char* name;
  QColor colour;
};
const std::array<BarLook, 3> kBarLooks = {{
    {"rand", QColor(255, 0, 0)},
    {"heur", QColor(255, 128, 0)},
    {"search", QColor(0, 255, 0)},
}};
// Bar value labels are shown only while the chart has this few iterations.
constexpr int kMaxLabelledBars = 25;

// Gives the axis the range from low to high with round tick steps (1, 2 or
// 5 times a power of ten, never below 1) counted from 0.
void set_nice_range(QValueAxis* axis, double low, double high) {
  const double raw = std::max(1.0, (high - low) / 6.0);
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = magnitude * 10;
  for (double factor : {1.0, 2.0, 5.0}) {
    if (raw <= factor * magnitude) {
      step = factor * magnitude;
      break;
    }
  }
  // The ends stay where the values need them; the ticks fall on whole steps.
  const double lo = std::floor(low);
  const double hi = std::ceil(high);
  if (axis->tickInterval() != step) axis->setTickInterval(step);
  if (axis->min() != lo || axis->max() != hi) axis->setRange(lo, hi);
}

QValueAxis* count_axis(QObject* parent) {
  auto* axis = new QValueAxis(parent);
  axis->setLabelFormat(QStringLiteral("%d"));
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(0);
  return axis;
}

// A point chart whose axes follow its points. Points only ever arrive or are
// all cleared, so each series keeps its own extent and the axes are rescaled
// from those few numbers instead of from every point.
class PointChart {
 public:
  PointChart(QChart* chart, int series_count) : chart_(chart) {
    chart_->setTheme(QChart::ChartThemeDark);
    chart_->setTitle(QStringLiteral("Objective values"));
    chart_->legend()->hide();
    chart_->setAnimationOptions(QChart::NoAnimation);
    x_axis_ = count_axis(chart_);
    y_axis_ = count_axis(chart_);
    chart_->addAxis(x_axis_, Qt::AlignBottom);
    chart_->addAxis(y_axis_, Qt::AlignLeft);
    QFont label_font = chart_->font();
    label_font.setPointSize(7);
    for (int i = 0; i < series_count; ++i) {
      Track track;
      track.series = new QScatterSeries(chart_);
      track.series->setMarkerShape(QScatterSeries::MarkerShapeCircle);
      track.series->setMarkerSize(8.0);
      track.series->setPointLabelsFormat(QStringLiteral("@xPoint"));
      track.series->setPointLabelsFont(label_font);
      chart_->addSeries(track.series);
      track.series->attachAxis(x_axis_);
      track.series->attachAxis(y_axis_);
      tracks_.push_back(track);
    }
    rescale();
  }

  // Colours are set after the series joined the chart, whose theme would
  // otherwise repaint them.
  void set_colour(int i, const QColor& colour) {
    QScatterSeries* s = tracks_[static_cast<size_t>(i)].series;
    s->setColor(colour);
    s->setBorderColor(colour);
    s->setPointLabelsColor(colour);
  }

  QChart* chart() const { return chart_; }
  QScatterSeries* series(int i) const { return tracks_[static_cast<size_t>(i)].series; }
  int count() const { return static_cast<int>(tracks_.size()); }
  int point_count(int i) const {
    return static_cast<int>(tracks_[static_cast<size_t>(i)].points.size());
  }

  void clear(int i) {
    Track& t = tracks_[static_cast<size_t>(i)];
    Track empty;
    empty.series = t.series;
    t = empty;
    t.series->clear();
    t.series->setPointLabelsVisible(false);
  }
  void clear_all() {
    for (int i = 0; i < count(); ++i) clear(i);
    rescale();
  }

  // Appends points to series i; the caller rescales once it is done.
  void append(int i, const QList<QPointF>& points) {
    if (points.isEmpty()) return;
    Track& t = tracks_[static_cast<size_t>(i)];
    for (const QPointF& p : points) {
      t.min_x = std::min(t.min_x, p.x());
      t.max_x = std::max(t.max_x, p.x());
      t.min_y = std::min(t.min_y, p.y());
      t.max_y = std::max(t.max_y, p.y());
    }
    t.points.append(points);
    // One geometry update for the whole batch: appending point by point
    // would redo the series' geometry once per point.
    if (points.size() == 1) {
      t.series->append(points.front());
    } else {
      t.series->replace(t.points);
    }
    // Many points get smaller markers and no labels, which would only
    // cover each other.
    const qsizetype n = t.points.size();
    t.series->setPointLabelsVisible(n <= ResultChartWindow::kMaxLabelledPoints);
    const qreal marker = n <= ResultChartWindow::kMaxLabelledPoints ? 8.0 : n <= 300 ? 5.0 : 3.0;
    if (t.series->markerSize() != marker) t.series->setMarkerSize(marker);
  }

  // Fits the axes to the visible series, with room for the point labels.
  // While a run draws live the axes only widen, and then with room for what
  // comes next: every change of range redraws every point of the chart.
  enum class Fit { kTight, kGrowOnly };
  void rescale(Fit fit = Fit::kTight) {
    double min_x = std::numeric_limits<double>::max();
    double max_x = std::numeric_limits<double>::lowest();
    double min_y = std::numeric_limits<double>::max();
    double max_y = std::numeric_limits<double>::lowest();
    for (const Track& t : tracks_) {
      if (!t.series->isVisible() || t.points.isEmpty()) continue;
      min_x = std::min(min_x, t.min_x);
      max_x = std::max(max_x, t.max_x);
      min_y = std::min(min_y, t.min_y);
      max_y = std::max(max_y, t.max_y);
    }
    if (min_x > max_x) {  // nothing to show
      min_x = 1;
      max_x = 10;
      min_y = 0;
      max_y = 10;
    }
    const double x_low = std::min(0.0, min_x - 1);
    const double x_high = max_x + std::max(1.0, (max_x - x_low) * 0.02);
    const double y_low = std::min(0.0, min_y);
    const double y_high = max_y + std::max(1.0, (max_y - y_low) * 0.06);
    fit_axis(x_axis_, x_low, x_high, fit);
    fit_axis(y_axis_, y_low, y_high, fit);
  }

 private:
  static void fit_axis(QValueAxis* axis, double low, double high, Fit fit) {
    if (fit == Fit::kGrowOnly) {
      if (axis->min() <= low && axis->max() >= high) return;
      high = low + (high - low) * 1.25;
    }
    set_nice_range(axis, low, high);
  }

  struct Track {
    QScatterSeries* series = nullptr;
    QList<QPointF> points;
    double min_x = std::numeric_limits<double>::max();
    double max_x = std::numeric_limits<double>::lowest();
    double min_y = std::numeric_limits<double>::max();
    double max_y = std::numeric_limits<double>::lowest();
  };

  QChart* chart_;
  QValueAxis* x_axis_ = nullptr;
  QValueAxis* y_axis_ = nullptr;
  std::vector<Track> tracks_;
};

QChartView* chart_view(QChart* chart, QWidget* parent) {
  auto* view = new QChartView(chart, parent);
  view->setRenderHint(QPainter::Antialiasing);
  // Every marker is a scene item that moves whenever an axis changes; a
  // spatial index would be rebuilt for each of them.
  view->scene()->setItemIndexMethod(QGraphicsScene::NoIndex);
  return view;
}

QPlainTextEdit* make_log_pane(QWidget* parent) {
  auto* pane = new QPlainTextEdit(parent);
  pane->setReadOnly(true);
  pane->setLineWrapMode(QPlainTextEdit::NoWrap);
  pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return pane;
}

}  // namespace

struct ResultChartWindow::Charts : QObject {
  explicit Charts(QObject* parent)
      : QObject(parent), best(new QChart, 1), history(new QChart, kHistorySeries) {}

  QChart* measuring = nullptr;
  QBarSeries* bars = nullptr;
  std::array<QBarSet*, 3> sets{};
  QBarCategoryAxis* iterations = nullptr;
  QValueAxis* late_jobs = nullptr;
  PointChart best;
  PointChart history;

  void clear_bars() {
    for (QBarSet* set : sets) set->remove(0, set->count());
    iterations->clear();
    set_nice_range(late_jobs, 0, 10);
    bars->setLabelsVisible(false);
  }
};

ResultChartWindow::ResultChartWindow(QWidget* main_window)
    : QWidget(main_window, Qt::Window), main_window_(main_window) {
  setWindowTitle(QStringLiteral("Results"));
  charts_ = new Charts(this);

  pages_ = new QTabWidget(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(pages_);

  // "Index" and "Average Obj_values": the logs.
  auto* index_page = new QWidget;
  auto* index_layout = new QVBoxLayout(index_page);
  index_layout->setContentsMargins(0, 0, 0, 0);
  index_log_ = make_log_pane(index_page);
  index_layout->addWidget(index_log_);
  pages_->addTab(index_page, QStringLiteral("Index"));

  auto* average_page = new QWidget;
  auto* average_layout = new QVBoxLayout(average_page);
  average_layout->setContentsMargins(0, 0, 0, 0);
  average_log_ = make_log_pane(average_page);
  average_layout->addWidget(average_log_);
  pages_->addTab(average_page, QStringLiteral("Average Obj_values"));

  // "Measuring": late jobs of the rand, heur and search results of each
  // performance-test iteration.
  Charts& c = *charts_;
  c.measuring = new QChart;
  c.measuring->setTitle(QStringLiteral("Measuring Goodness"));
  c.measuring->setAnimationOptions(QChart::NoAnimation);
  c.bars = new QBarSeries(c.measuring);
  c.bars->setBarWidth(0.9);
  c.bars->setLabelsFormat(QStringLiteral("@value"));
  c.bars->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
  for (size_t k = 0; k < kBarLooks.size(); ++k) {
    c.sets[k] = new QBarSet(QString::fromLatin1(kBarLooks[k].name), c.bars);
    c.sets[k]->setColor(kBarLooks[k].colour);
    c.sets[k]->setBorderColor(kBarLooks[k].colour.darker(130));
    c.sets[k]->setLabelColor(Qt::black);
    c.bars->append(c.sets[k]);
  }
  c.measuring->addSeries(c.bars);
  c.iterations = new QBarCategoryAxis(c.measuring);
  c.late_jobs = count_axis(c.measuring);
  set_nice_range(c.late_jobs, 0, 10);
  c.measuring->addAxis(c.iterations, Qt::AlignBottom);
  c.measuring->addAxis(c.late_jobs, Qt::AlignLeft);
  c.bars->attachAxis(c.iterations);
  c.bars->attachAxis(c.late_jobs);
  c.measuring->legend()->setAlignment(Qt::AlignBottom);
  pages_->addTab(chart_view(c.measuring, nullptr), QStringLiteral("Measuring"));

  pages_->addTab(new QWidget, QStringLiteral("H Matrix"));

  // "Best Obj. values": late jobs at each new best of the run.
  c.best.set_colour(0, kImprovementColour);
  pages_->addTab(chart_view(c.best.chart(), nullptr), QStringLiteral("Best Obj. values"));

  // "Obj. values": the run history, one series per objective.
  for (int i = 0; i < kHistorySeries; ++i) {
    c.history.set_colour(i, kHistoryLooks[static_cast<size_t>(i)].colour);
  }
  auto* values_page = new QWidget;
  auto* values_layout = new QVBoxLayout(values_page);
  values_layout->setContentsMargins(0, 4, 0, 0);
  auto* selector_row = new QHBoxLayout;
  selector_ = new QComboBox(values_page);
  selector_->addItem(QStringLiteral("All Obj. Functions"));
  for (const HistorySeriesLook& look : kHistoryLooks) {
    selector_->addItem(QString::fromLatin1(look.name));
  }
  selector_->setCurrentIndex(0);
  selector_row->addWidget(selector_);
  selector_row->addStretch(1);
  values_layout->addLayout(selector_row);
  values_layout->addWidget(chart_view(c.history.chart(), values_page), 1);
  pages_->addTab(values_page, QStringLiteral("Obj. values"));
  connect(selector_, &QComboBox::currentIndexChanged, this,
          &ResultChartWindow::show_selected_series);

  pages_->setCurrentIndex(static_cast<int>(Page::kObjValues));
  resize(kDefaultWidth, kDefaultHeight);
}

void ResultChartWindow::reset() {
  index_log_->clear();
  average_log_->clear();
  charts_->clear_bars();
  charts_->best.clear_all();
  charts_->history.clear_all();
}

QPlainTextEdit* ResultChartWindow::log_pane(Page page) const {
  if (page == Page::kIndex) return index_log_;
  if (page == Page::kAverage) return average_log_;
  return nullptr;
}

void ResultChartWindow::load_log(Page page, const QString& text) {
  QPlainTextEdit* pane = log_pane(page);
  if (pane == nullptr) return;
  pane->setPlainText(text);
  pane->setVisible(true);
}

void ResultChartWindow::hide_log(Page page) {
  if (QPlainTextEdit* pane = log_pane(page)) pane->setVisible(false);
}

void ResultChartWindow::show_on(Page page) {
  pages_->setCurrentIndex(static_cast<int>(page));
  show_current();
}

void ResultChartWindow::show_current() {
  show();
  raise();
}

void ResultChartWindow::recentre_next_show() { placement_ = Placement::kOnDesktop; }

void ResultChartWindow::place(const QRect& frame) {
  move(frame.topLeft());
  resize((frame.size() - frame_extra(*this, main_window_)).expandedTo(minimumSizeHint()));
  placement_ = Placement::kKeep;
}

void ResultChartWindow::append_history(const RunStatus& status, int from, int to) {
  from = std::max(from, 1);
  to = std::min(to, static_cast<int>(status.history.size()));
  if (from >= to) return;
  PointChart& history = charts_->history;
  for (int s = 0; s < kHistorySeries; ++s) {
    const auto value = kHistoryLooks[static_cast<size_t>(s)].value;
    QList<QPointF> points;
    points.reserve(to - from);
    for (int h = from; h < to; ++h) {
      points.append(QPointF(h, status.history[static_cast<size_t>(h)].*value));
    }
    history.append(s, points);
  }
  history.rescale(PointChart::Fit::kGrowOnly);
}

void ResultChartWindow::fill_from_run(const RunStatus& status) {
  switch (status.kind) {
    case RunKind::kSearch:
    case RunKind::kEnumeration: {
      // The enumeration keeps no history: its charts are only emptied.
      PointChart& best = charts_->best;
      best.clear_all();
      const int improvements =
          std::min(status.improvement_count, static_cast<int>(status.improvement_list.size()));
      QList<QPointF> points;
      for (int i = 1; i < improvements; ++i) {
        points.append(QPointF(i, status.improvement_list[static_cast<size_t>(i)]));
      }
      best.append(0, points);
      best.rescale();
      charts_->history.clear_all();
      append_history(status, 1, status.history_count);
      charts_->history.rescale();
      break;
    }
    case RunKind::kPerfTest: {
      Charts& c = *charts_;
      c.clear_bars();
      const size_t n = std::min({status.measuring_rand.size(), status.measuring_heur.size(),
                                 status.measuring_search.size()});
      const std::array<const std::vector<int>*, 3> values = {
          &status.measuring_rand, &status.measuring_heur, &status.measuring_search};
      QStringList categories;
      int highest = 0;
      for (size_t i = 0; i < n; ++i) categories.append(QString::number(i + 1));
      for (size_t k = 0; k < values.size(); ++k) {
        QList<qreal> column;
        column.reserve(static_cast<qsizetype>(n));
        for (size_t i = 0; i < n; ++i) {
          const int v = (*values[k])[i];
          highest = std::max(highest, v);
          column.append(v);
        }
        c.sets[k]->append(column);
      }
      c.iterations->append(categories);
      set_nice_range(c.late_jobs, 0, highest + std::max(1, highest / 10));
      c.bars->setLabelsVisible(n <= static_cast<size_t>(kMaxLabelledBars));
      break;
    }
    case RunKind::kBatch:
      break;  // the batch run leaves only its log
  }
}

void ResultChartWindow::show_selected_series(int entry) {
  PointChart& history = charts_->history;
  for (int s = 0; s < kHistorySeries; ++s) {
    history.series(s)->setVisible(entry <= 0 || entry - 1 == s);
  }
  history.rescale();
}

ResultChartWindow::Page ResultChartWindow::current_page() const {
  return static_cast<Page>(pages_->currentIndex());
}

int ResultChartWindow::point_count(Page page, int series) const {
  switch (page) {
    case Page::kMeasuring:
      if (series < 0 || series >= static_cast<int>(charts_->sets.size())) return 0;
      return static_cast<int>(charts_->sets[static_cast<size_t>(series)]->count());
    case Page::kBestObjValues:
      return series == 0 ? charts_->best.point_count(0) : 0;
    case Page::kObjValues:
      if (series < 0 || series >= kHistorySeries) return 0;
      return charts_->history.point_count(series);
    default:
      return 0;
  }
}

bool ResultChartWindow::history_series_visible(int series) const {
  if (series < 0 || series >= kHistorySeries) return false;
  return charts_->history.series(series)->isVisible();
}

QString ResultChartWindow::log_text(Page page) const {
  const QPlainTextEdit* pane = log_pane(page);
  return pane == nullptr ? QString() : pane->toPlainText();
}

bool ResultChartWindow::log_visible(Page page) const {
  const QPlainTextEdit* pane = log_pane(page);
  return pane != nullptr && !pane->isHidden();
}

QComboBox* ResultChartWindow::series_selector() const { return selector_; }

QChart* ResultChartWindow::chart(Page page) const {
  switch (page) {
    case Page::kMeasuring:
      return charts_->measuring;
    case Page::kBestObjValues:
      return charts_->best.chart();
    case Page::kObjValues:
      return charts_->history.chart();
    default:
      return nullptr;
  }
}

QXYSeries* ResultChartWindow::point_series(Page page, int series) const {
  if (page == Page::kBestObjValues && series == 0) return charts_->best.series(0);
  if (page == Page::kObjValues && series >= 0 && series < kHistorySeries) {
    return charts_->history.series(series);
  }
  return nullptr;
}

QBarSet* ResultChartWindow::bar_set(int series) const {
  if (series < 0 || series >= static_cast<int>(charts_->sets.size())) return nullptr;
  return charts_->sets[static_cast<size_t>(series)];
}

void ResultChartWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit closed();
}

void ResultChartWindow::showEvent(QShowEvent* event) {
  if (!event->spontaneous() && placement_ != Placement::kKeep) {
    // Never larger than the desktop it is shown on.
    if (QScreen* screen = this->screen()) {
      resize(size().boundedTo(screen->availableGeometry().size() - QSize(16, 40)));
    }
    centre_window(*this, placement_ == Placement::kOnMainWindow ? main_window_ : nullptr);
    placement_ = Placement::kKeep;
  }
  QWidget::showEvent(event);
}

}  // namespace vema
