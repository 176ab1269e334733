#include "viewer/viewer.h"

#include <QApplication>
#include <QHideEvent>
#include <QLabel>
#include <QShowEvent>
#include <QTimer>
#include <utility>

#include "dialogs/elementinforesults.h"
#include "protocol/attributeedit.h"
#include "protocol/changepassword.h"
#include "protocol/connecttoserver.h"
#include "protocol/layerchange.h"
#include "protocol/layersetupvalues.h"
#include "protocol/mapopening.h"
#include "protocol/serverlink.h"
#include "render/viewtransform.h"
#include "viewer/qpaintersurface.h"
#include "viewer/qtconnection.h"
#include "viewer/qteventpump.h"
#include "viewer/qtinteraction.h"
#include "viewer/qtpopupmenus.h"
#include "viewer/rasterimages.h"
#include "viewer/toolcursors.h"

namespace orvenda {

namespace {
// How long closing the socket may take before the control stops waiting.
constexpr std::int32_t kCloseTimeLimitSeconds = 10;
constexpr int kCompanyMargin = 10;
}  // namespace

Viewer::Viewer(QWidget* parent) : Viewer(ViewerSeams{}, parent) {}

Viewer::Viewer(const ViewerSeams& seams, QWidget* parent) : QWidget(parent) {
  if (!seams.sock) ownSock_ = std::make_unique<QtConnection>();
  if (!seams.ui) ownUi_ = std::make_unique<QtInteraction>(this);
  if (!seams.clock) ownClock_ = std::make_unique<SystemClock>();
  if (!seams.pump) ownPump_ = std::make_unique<QtEventPump>();
  if (!seams.menus) ownMenus_ = std::make_unique<QtPopupMenus>(this);
  sock_ = seams.sock ? seams.sock : ownSock_.get();
  ui_ = seams.ui ? seams.ui : ownUi_.get();
  clock_ = seams.clock ? seams.clock : ownClock_.get();
  pump_ = seams.pump ? seams.pump : ownPump_.get();
  menus_ = seams.menus ? seams.menus : ownMenus_.get();

  link_ = std::make_unique<ServerLink>(*sock_, *this, *ui_, *clock_, *pump_);
  RegisterMapHandlers(*this);
  RegisterChangePasswordReply(link_->dispatcher(), *ui_);
  RegisterSetupHandlers();
  RegisterFieldValuesReply(*this, [this](const FieldValuesReply& r) { FieldValuesArrived(r); });
  Initialize();
}

void Viewer::Initialize() {
  setObjectName("Viewer");
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);

  firstShow_ = true;
  tools_ = ToolState{};
  mapProps_.layerscargados = false;
  mapProps_.MapCode = 1;
  status_.Clear();
  DrawTheme = Theme{};
  DrawTheme.DrawColor = 0;
  DrawTheme.DrawStyle = 0;
  DrawTheme.DrawWidth = 1;

  view_ = std::make_unique<ViewTransform>();
  images_ = std::make_unique<RasterImages>();
  surface_ = std::make_unique<QPainterSurface>(std::max(1, width()), std::max(1, height()));
  surface_->SetRefreshHandler([this] { update(); });
  lblstatus_ = new QLabel(this);
  lblstatus_->setObjectName("lblstatus");
  lblstatus_->move(kCompanyMargin, kCompanyMargin);
  lblstatus_->hide();
  lblCompany_ = new QLabel(QStringLiteral("Orvenda map viewer"), this);
  lblCompany_->setObjectName("lblCompany");
  lblCompany_->adjustSize();
  lblCompany_->hide();
  // Labels over the map never take the mouse from the tools.
  lblstatus_->setAttribute(Qt::WA_TransparentForMouseEvents);
  lblCompany_->setAttribute(Qt::WA_TransparentForMouseEvents);
  results_ = std::make_unique<ElementInfoResults>(*this, this, static_cast<ToolHost*>(this));
  info_.resultsView = results_.get();
  info_.onAttributesForEdit = [this](const ElementValues& v) { SendEditedValues(*this, v); };
  // A reply that never comes must not leave the map waiting for ever.
  auto* replyWatch = new QTimer(this);
  connect(replyWatch, &QTimer::timeout, this, [this] { link_->CheckReplyTime(); });
  replyWatch->start(5000);
}

Viewer::~Viewer() {
  // No reply may fill the map while the control goes.
  sock_->SetDataArrival(nullptr);
  sock_->SetLost(nullptr);
  // Layers close their images through this control: drop them while it is whole.
  layers_.reset();
  CloseAndWait();
  link_.reset();
}

void Viewer::CloseAndWait() {
  sock_->Close();
  // Socket events may still arrive while waiting; a socket that never reports
  // closed must not hang the program.
  const std::int32_t start = clock_->SecondsOfDay();
  while (sock_->state() != Connection::kClosed) {
    const std::int32_t now = clock_->SecondsOfDay();
    const std::int32_t waited = now >= start ? now - start : now + 86400 - start;
    if (waited > kCloseTimeLimitSeconds) break;
    pump_->ProcessEvents();
  }
}

void Viewer::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) ShowControl();
}

void Viewer::hideEvent(QHideEvent* event) {
  // A control hidden by its window (a tab switch, a minimised document) keeps
  // its map; the host drops it with HideControl or by destroying the control.
  QWidget::hideEvent(event);
}

void Viewer::ShowControl() {
  if (firstShow_) {
    firstShow_ = false;
    mapProps_.MapExtents = BoundingBox{};
    view_->ViewExtents = BoundingBox{};
    HighlightTheme = Theme{};
    HighlightTheme.DrawColor = 255;
    HighlightTheme.DrawWidth = 3;
    Redraw();
    if (!link_->ConnectToServer(sock_->RemoteHost(), sock_->RemotePort())) {
      ShowConnectionFailure(*ui_);
      return;
    }
    SendOpenMap(*this, mapProps_.IDUser, mapProps_.MapCode);
    PostStatus(0, status::kMapRequested);
    lblstatus_->show();
  }
  PlaceCompanyLabel();
  lblCompany_->show();
}

void Viewer::HideControl() {
  layers_.reset();
  CloseAndWait();
}

void Viewer::PlaceCompanyLabel() {
  lblCompany_->move(kCompanyMargin, height() - lblCompany_->height() - kCompanyMargin);
}

Layers& Viewer::layers() {
  if (!layers_) layers_ = std::make_unique<orvenda::Layers>();
  return *layers_;
}

// --- Properties -------------------------------------------------------------

void Viewer::AnnounceProperty(const char* name) { emit PropertyChanged(QString::fromLatin1(name)); }

void Viewer::ReadProperties(const PropertyBag& bag) {
  props_ = ViewerProperties::Read(bag);
  sock_->SetRemote(props_.URL, props_.Port);
  mapProps_.MapCode = props_.MapCode;
  mapProps_.IDUser = props_.IDUser;
  QWidget::setEnabled(props_.Enabled);
  pending_ = 0;
}

void Viewer::WriteProperties(PropertyBag& bag) const {
  ViewerProperties now = props_;
  now.URL = sock_->RemoteHost();
  now.Port = sock_->RemotePort();
  now.MapCode = mapProps_.MapCode;
  now.IDUser = mapProps_.IDUser;
  now.Font = font().toString().toStdString();
  now.Write(bag, QApplication::font().toString().toStdString());
}

void Viewer::SetBackColor(std::int32_t value) {
  props_.BackColor = value;
  AnnounceProperty("BackColor");
}

void Viewer::SetForeColor(std::int32_t value) {
  props_.ForeColor = value;
  AnnounceProperty("ForeColor");
}

void Viewer::SetEnabled(bool value) {
  props_.Enabled = value;
  QWidget::setEnabled(value);
  AnnounceProperty("Enabled");
}

void Viewer::SetAppearance(std::int32_t value) {
  props_.Appearance = value;
  AnnounceProperty("Appearance");
}

void Viewer::SetBackStyle(std::int32_t value) {
  props_.BackStyle = value;
  AnnounceProperty("BackStyle");
}

void Viewer::SetBorderStyle(std::int32_t value) {
  props_.BorderStyle = value;
  AnnounceProperty("BorderStyle");
}

QString Viewer::URL() const { return QString::fromStdString(sock_->RemoteHost()); }

void Viewer::SetURL(const QString& host) {
  sock_->SetRemote(host.toStdString(), sock_->RemotePort());
  AnnounceProperty("URL");
}

std::int32_t Viewer::port() const { return sock_->RemotePort(); }

void Viewer::Setport(std::int32_t value) {
  sock_->SetRemote(sock_->RemoteHost(), value);
  AnnounceProperty("Port");
}

void Viewer::SetMapCode(std::int32_t value) {
  mapProps_.MapCode = value;
  AnnounceProperty("MapCode");
}

void Viewer::SetIDUser(std::int32_t value) {
  mapProps_.IDUser = value;
  AnnounceProperty("IDUser");
}

void Viewer::SetWidth(std::int32_t value) {
  resize(value, height());
  AnnounceProperty("Width");
}

void Viewer::SetHeight(std::int32_t value) {
  resize(width(), value);
  AnnounceProperty("height");
}

void Viewer::SetImagePath(const QString& path) {
  imagePath_ = path;
  if (!layers_) return;
  for (layer& lay : *layers_) {
    if (lay.Tipo != ImageLayer || lay.ImageNumber != -1) continue;
    lay.ImageNumber = ImageIndexFor(lay.ImageName.empty() ? lay.Nombre : lay.ImageName);
  }
}

std::int32_t Viewer::ImageIndexFor(const std::string& layerName) {
  // Every new layer asks; only image layers have a picture.
  bool imageLayer = false;
  if (layers_) {
    for (const layer& lay : *layers_) {
      imageLayer = imageLayer || (lay.Tipo == ImageLayer && lay.ImageName == layerName);
    }
  }
  if (!imageLayer) return -1;
  const std::string path = RasterImages::FindFile(imagePath_.toStdString(), layerName);
  return path.empty() ? -1 : images_->Open(path);
}

void Viewer::CloseImage(std::int32_t imageNumber) { images_->Close(imageNumber); }

void Viewer::ChangePassword(const QString& OldPassword, const QString& NewPassword) {
  SendChangePassword(*link_, mapProps_.IDUser, OldPassword.toStdString(),
                     NewPassword.toStdString());
}

// --- What the protocol handlers reach --------------------------------------

void Viewer::SetPendingRequests(std::int32_t value) { pending_ = value; }

void Viewer::SetMousePointer(int pointerCode) {
  mousePointer_ = pointerCode;
  switch (pointerCode) {
    case pointer::kHourglass:
      setCursor(Qt::WaitCursor);
      break;
    case pointer::kArrowHourglass:
      setCursor(Qt::BusyCursor);
      break;
    case pointer::kCustom:
      setCursor(ToolCursor(customPointer_));
      break;
    default:
      unsetCursor();
      break;
  }
}

void Viewer::SetToolPointer(int toolCode) {
  const int resource = toolDispatch_.PointerOf(toolCode);
  if (resource == 0) {
    SetMousePointer(pointer::kDefault);
    return;
  }
  customPointer_ = resource;
  SetMousePointer(pointer::kCustom);
}

void Viewer::RestoreToolPointer() { SetToolPointer(tools_.MouseAction); }

void Viewer::ShowReadingData(bool visible) {
  readingVisible_ = visible;
  update();
}

void Viewer::SetReadingDataColour(std::uint32_t colour) {
  readingColour_ = colour;
  update();
}

void Viewer::FinishLoadingPass() {
  // A resize that came while requests were pending grows or shrinks the view now.
  if (std::exchange(resizeWaiting_, false)) {
    Resized();
  } else {
    RepaintSaved();
  }
}

void Viewer::PostStatus(std::int32_t layerId, int kind) {
  status_.Post(layerId, kind, [this](std::int32_t id) {
    const layer* lay = layers_ ? layers_->Item(Key(id)) : nullptr;
    return lay ? lay->Nombre : std::string();
  });
  lblstatus_->setText(StatusCaption());
  lblstatus_->adjustSize();
}

QString Viewer::StatusCaption() const { return QString::fromStdString(status_.Caption()); }

void Viewer::SetupProjection(std::int16_t code) { view_->Projection = code; }

}  // namespace orvenda
