#include "dialogs/dlgmapreferences.h"

#include <QAction>
#include <QClipboard>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>

#include "render/classsample.h"
#include "render/viewtransform.h"
#include "viewer/qpaintersurface.h"
#include "viewer/viewer.h"

namespace orvenda {
namespace {

constexpr std::int32_t kWindowWidth = 5400;  // twips: room for "lowest to highest"
constexpr int kTwips = static_cast<int>(kTwipsPerUnit);

int Pixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerUnit)); }

}  // namespace

dlgMapReferences::dlgMapReferences(Viewer* owner)
    : QDialog(owner, Qt::Window),
      Toolbar1(new QToolBar(this)),
      VScroll1(new QScrollBar(Qt::Vertical, this)),
      Frame1(new QGroupBox(this)),
      viewer_(owner) {
  setObjectName(QStringLiteral("dlgMapReferences"));
  Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
  VScroll1->setObjectName(QStringLiteral("VScroll1"));
  Frame1->setObjectName(QStringLiteral("Frame1"));
  Frame1->installEventFilter(this);
  frames_.push_back(Frame1);
  const auto add = [this](const char* key, const QString& tip, void (dlgMapReferences::*run)()) {
    QAction* a = Toolbar1->addAction(QString::fromLatin1(key));
    a->setObjectName(QString::fromLatin1(key));
    a->setToolTip(tip);
    connect(a, &QAction::triggered, this, run);
  };
  add("Minimizar", QStringLiteral("Minimizar/Recuperar Ventana"), &dlgMapReferences::Minimize);
  add("Maximizar", QStringLiteral("Maximizar"), &dlgMapReferences::Maximize);
  add("Camara", QStringLiteral("Camara"), &dlgMapReferences::Camera);
  Toolbar1->move(0, 0);
  Toolbar1->resize(Pixels(kWindowWidth), Toolbar1->sizeHint().height());
  resize(Pixels(kWindowWidth), Toolbar1->height() + Pixels(legend::kCollapsedMargin));
  connect(VScroll1, &QScrollBar::valueChanged, this, &dlgMapReferences::Scrolled);

  // Load.
  RefreshLegend();
  Button("Minimizar")->setVisible(true);
  Button("Maximizar")->setVisible(false);
  VScroll1->setPageStep(1);
  VScroll1->setSingleStep(1);
  VScroll1->move(width() - VScroll1->sizeHint().width(), ToolbarBottom() / kTwips);
  VScroll1->hide();
}

QAction* dlgMapReferences::Button(const char* key) const {
  return Toolbar1->findChild<QAction*>(QString::fromLatin1(key));
}

std::int32_t dlgMapReferences::ToolbarBottom() const {
  return (Toolbar1->y() + Toolbar1->height()) * kTwips;
}

void dlgMapReferences::SetHeightTwips(std::int32_t twips) { resize(width(), Pixels(twips)); }

void dlgMapReferences::RefreshLegend() {
  for (std::size_t i = 1; i < frames_.size(); ++i) delete frames_[i];
  frames_.resize(1);
  for (QObject* child : QObjectList(Frame1->children())) {
    if (child->isWidgetType()) delete child;
  }
  groups_.clear();
  if (viewer_ == nullptr) {
    Frame1->hide();
    return;
  }
  LegendHeight = 0;
  groups_ = LegendGroups(viewer_->layers(), viewer_->view().ViewExtents, ToolbarBottom());
  for (std::size_t i = 0; i < groups_.size(); ++i) {
    QGroupBox* frame = Frame1;
    if (i > 0) {
      frame = new QGroupBox(this);
      frame->setObjectName(QStringLiteral("Frame1"));
      frame->installEventFilter(this);
      frames_.push_back(frame);
    }
    AddLayerLegend(groups_[i], frame);
  }
  Frame1->setVisible(!groups_.empty());
  setWindowTitle(QStringLiteral("Leyendas para: ") + QString::fromStdString(viewer_->map().Nombre));
  const LegendFit fit = FitLegend(groups_, collapsed_);
  if (fit.windowHeight > 0) SetHeightTwips(fit.windowHeight);
  if (fit.scrolls) {
    VScroll1->resize(VScroll1->sizeHint().width(), Pixels(legend::kScrollBarHeight));
    VScroll1->setMaximum(fit.scrollMax);
    VScroll1->show();
    VScroll1->raise();
  }
  LegendHeight = fit.legendHeight;
  LastScrollValue = 0;
  const QSignalBlocker quiet(VScroll1);
  VScroll1->setValue(0);
}

void dlgMapReferences::AddLayerLegend(const LegendGroup& group, QGroupBox* frame) {
  frame->setTitle(QString::fromStdString(group.caption));
  const Colour background = static_cast<Colour>(viewer_->map().BackgroundColor);
  for (const LegendSwatch& s : group.swatches) {
    auto* swatch = new QLabel(frame);
    swatch->setObjectName(QStringLiteral("picColor"));
    swatch->setGeometry(Pixels(legend::kSwatchLeft), Pixels(s.top), Pixels(legend::kSwatchWidth),
                        Pixels(legend::kSwatchHeight));
    QPainterSurface surface(swatch->width(), swatch->height());
    surface.SetAntialiasing(false);
    surface.SetBackColor(background);
    surface.Cls();
    DrawSwatchSample(surface, s.theme, group.kind);
    swatch->setPixmap(QPixmap::fromImage(surface.Snapshot()));
    auto* text = new QLabel(QString::fromStdString(s.text), frame);
    text->setObjectName(QStringLiteral("lblThemeDesc"));
    text->adjustSize();
    const std::int32_t textHeight = text->height() * kTwips;
    text->move(Pixels(legend::kSwatchLeft + legend::kSwatchWidth + legend::kTextGap),
               Pixels(s.top + (legend::kSwatchHeight - textHeight) / 2));
    for (QLabel* w : {swatch, text}) {
      w->installEventFilter(this);
      w->show();
    }
  }
  frame->setGeometry(0, Pixels(group.top), Pixels(kWindowWidth) - VScroll1->sizeHint().width(),
                     Pixels(group.height));
  frame->show();
}

void dlgMapReferences::Minimize() {
  Button("Minimizar")->setVisible(false);
  Button("Maximizar")->setVisible(true);
  collapsed_ = true;
  SetHeightTwips(ToolbarBottom() + legend::kCollapsedMargin);
}

void dlgMapReferences::Maximize() {
  Button("Minimizar")->setVisible(true);
  Button("Maximizar")->setVisible(false);
  collapsed_ = false;
  const std::int32_t h = MaximizedHeight(groups_);
  if (h == 0) return;
  SetHeightTwips(h);
  if (h == legend::kScrolledHeight) {
    VScroll1->resize(VScroll1->sizeHint().width(), Pixels(legend::kScrollBarHeight));
  }
}

void dlgMapReferences::Camera() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setImage(grab().toImage());
}

void dlgMapReferences::Scrolled(int value) {
  if (value != LastScrollValue) {
    const std::vector<std::int32_t> tops = ScrolledTops(groups_, value, VScroll1->maximum());
    for (std::size_t i = 0; i < tops.size() && i < frames_.size(); ++i) {
      frames_[i]->move(frames_[i]->x(), Pixels(tops[i]));
    }
  }
  LastScrollValue = static_cast<std::int32_t>(value);
}

bool dlgMapReferences::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonDblClick || viewer_ == nullptr) return false;
  auto* group = qobject_cast<QGroupBox*>(watched);
  if (group == nullptr) group = qobject_cast<QGroupBox*>(watched->parent());
  if (group == nullptr) return false;
  const std::string name = group->title().toStdString();
  for (const layer& lay : viewer_->layers()) {
    if (lay.Nombre != name) continue;
    // Once this event is over: applying the setup redraws the map, which rebuilds
    // this legend and with it the widget that was clicked.
    QTimer::singleShot(0, viewer_, [v = viewer_, id = lay.IDLayer] {
      if (v) v->LayerSetup(id);
    });
    break;
  }
  return true;
}

}  // namespace orvenda
