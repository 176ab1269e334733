#pragma once
// Viewer: the embeddable map control. A host sets where the server is (URL,
// port), who the user is (IDUser) and which map to open (MapCode); on its first
// show the control connects its own socket, asks for the map and from then on
// requests and draws map data by itself.
//
// The control is a thin owner: the view math lives in ViewTransform, the drawing
// of layers in the render code on the Surface seam, the conversation with the
// server in ServerLink and the map handlers, each pointer gesture in a tool of
// tools/. The platform is reached through seams (socket, message boxes, clock,
// event pump, popup menus) given at construction; the defaults are Qt's.
//
// While PendingRequests is not 0 the navigation members and the mouse tools do
// nothing (the idle rule); Redraw, CurrentZoom, ImagePath and the properties act
// at any time.

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/theme.h"
#include "protocol/cellloading.h"
#include "protocol/elementinfo.h"
#include "protocol/mapviewer.h"
#include "render/imagepainter.h"
#include "render/viewsteps.h"
#include "viewer/popupmenu.h"
#include "viewer/propertybag.h"
#include "viewer/statuslist.h"
#include "viewer/tools/tooldispatcher.h"

class QLabel;
class QPainter;

namespace orvenda {

class Connection;
class dlgLayerSetup;
class dlgMapReferences;
class dlgSelect;
struct FieldValuesReply;
class EventPump;
struct ConstraintArrays;
class Clock;
class QPainterSurface;
class QtToolTip;
class RasterImages;
class ServerLink;
class ViewTransform;

// The platform seams of one viewer; a null member takes the Qt default.
struct ViewerSeams {
  Connection* sock = nullptr;
  Interaction* ui = nullptr;
  const Clock* clock = nullptr;
  EventPump* pump = nullptr;
  PopupMenus* menus = nullptr;
};

class Viewer : public QWidget, public MapViewer, private ToolHost, private ImagePainter {
  Q_OBJECT

 public:
  explicit Viewer(QWidget* parent = nullptr);
  Viewer(const ViewerSeams& seams, QWidget* parent = nullptr);
  // Drops the layers and closes the socket, letting events run until it is closed.
  ~Viewer() override;
  Q_DISABLE_COPY_MOVE(Viewer)

  // Persisted properties, read from and written to the host's store.
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // Properties passed through to the surface.
  std::int32_t BackColor() const { return props_.BackColor; }
  void SetBackColor(std::int32_t value);
  std::int32_t ForeColor() const { return props_.ForeColor; }
  void SetForeColor(std::int32_t value);
  bool Enabled() const { return props_.Enabled; }
  void SetEnabled(bool value);
  std::int32_t Appearance() const { return props_.Appearance; }
  void SetAppearance(std::int32_t value);
  std::int32_t BackStyle() const { return props_.BackStyle; }
  void SetBackStyle(std::int32_t value);
  std::int32_t BorderStyle() const { return props_.BorderStyle; }
  void SetBorderStyle(std::int32_t value);

  // Where the server is, who the user is and which map to open.
  QString URL() const;
  void SetURL(const QString& host);
  std::int32_t port() const;
  void Setport(std::int32_t value);
  std::int32_t MapCode() const { return mapProps_.MapCode; }
  void SetMapCode(std::int32_t value);
  std::int32_t IDUser() const { return mapProps_.IDUser; }
  void SetIDUser(std::int32_t value);
  // Folder of the raster images of image layers; a change loads the images of
  // image layers that have none yet.
  QString ImagePath() const { return imagePath_; }
  void SetImagePath(const QString& path);

  // ViewWidth and ViewHeight; setting one resizes the control.
  std::int32_t Width() const { return ViewWidth_; }
  void SetWidth(std::int32_t value);
  std::int32_t Height() const { return ViewHeight_; }
  void SetHeight(std::int32_t value);

  // Does nothing: the surface keeps its picture.
  void Refresh() {}
  // Full redraw of every layer (MapViewer).
  void Redraw() override;
  void ZoomWindow();
  // Arms zoom by factor when Factor > 0 and Factor != 1.
  void ZoomFactor(float& Factor);
  void ZoomIn();
  void ZoomOut();
  void ZoomExtents() override;
  void Pan();
  void MeasureDistance();
  // Height of the view in kilometres (thousands of projected units).
  float CurrentZoom() const;
  // Sends a password change for IDUser.
  void ChangePassword(const QString& OldPassword, const QString& NewPassword);
  // The layer (0: none) and field of the map tooltip; acts at any time.
  void SetToolTip(std::int32_t IDLayer, const QString& ToolTipField);
  // Copies the map picture to the clipboard (if idle).
  void SnapShot();
  // The control's about box, modal over the host (if idle).
  void About();
  // Map setup (viewer_setup.cpp). Stores the map's setup on the server (if idle and
  // the map is loaded): over the open map with no name, as a new map with one;
  // MapSaved tells the server's answer. False when nothing was sent.
  bool SaveMap(std::int32_t IDUser, const QString& MapName = {});
  // The map setup dialog (if idle); its result applied and the view loaded again.
  void MapSetup();
  // The direction field of a layer's lines, chosen in a dialog; acts at any time.
  void SetDirections(std::int32_t IDLayer);
  // The map picture into a bitmap or PNG file chosen in Savedlg (if idle).
  bool SaveImage();

  // Map properties (Nombre, MapExtents, BackgroundColor, Projection,
  // layerscargados) and the layers.
  MapProperties& map() override { return mapProps_; }
  Layers& layers() override;
  const ViewTransform& view() const override { return *view_; }
  const StatusList& statusList() const { return status_; }
  const ToolState& toolState() const { return tools_; }
  QString StatusCaption() const;
  // A copy of the last complete picture (imgMap).
  const QImage& SavedPicture() const { return imgMap_; }
  // What the control shows now: the picture with its overlays.
  QImage Picture() const;
  const std::vector<std::int32_t>& Selection() const { return tools_.Selection; }
  double origenX = 0, origenY = 0;  // kept for hosts; never read here

  // MapViewer / ViewerContext: reached by the protocol handlers.
  std::int32_t PendingRequests() const override { return pending_; }
  void SetPendingRequests(std::int32_t value) override;
  void SetMousePointer(int pointerCode) override;
  void RestoreToolPointer() override;
  void ShowReadingData(bool visible) override;
  std::uint32_t ReadingDataColour() const override { return readingColour_; }
  void SetReadingDataColour(std::uint32_t colour) override;
  void FinishLoadingPass() override;
  ServerLink& link() override { return *link_; }
  Interaction& interaction() override { return *ui_; }
  void PostStatus(std::int32_t layerId, int kind) override;
  void SetupProjection(std::int16_t code) override;
  void RepaintLayer(std::int32_t layerId) override;
  // LayerOwner
  std::int32_t ImageIndexFor(const std::string& layerName) override;
  void CloseImage(std::int32_t imageNumber) override;
  CellValueRequester* CellValues() override { return &cellValues_; }

  // Applies a geographic rectangle as the new view, redraws and requests the
  // data the view lacks.
  void ApplyExtents(double x1, double y1, double x2, double y2) override;
  // Puts the last complete picture back (repaint with True).
  void RepaintSaved() override;
  // The mouse pointer code shown now (0 default, 11 hourglass, 13 arrow and
  // hourglass, 99 the custom pointer of CustomPointer()).
  int MousePointer() const override { return mousePointer_; }
  int CustomPointer() const { return customPointer_; }
  // Runs the show steps even when no window system shows the control.
  void ShowControl();
  // Hides: drops the layers and closes the socket.
  void HideControl();

 signals:
  void MapRedrawn();
  // The map and its layer definitions are complete (raised by the map handlers).
  void MapLoaded() override;
  void MouseDown(int Button, int Shift, float X, float Y);
  void MouseUp(int Button, int Shift, float X, float Y);
  void click();
  void DblClick();
  void KeyDown(int KeyCode, int Shift);
  void KeyPress(int KeyAscii);
  void KeyUp(int KeyCode, int Shift);
  void MousePosition(double X, double Y);
  // A persisted property changed (its key in the property store).
  void PropertyChanged(const QString& name);
  // The result of SaveMap (reply 241): 0 saved, 1 invalid name, 1000 unexpected.
  void MapSaved(int Result);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  // ToolHost
  ToolState& tools() override { return tools_; }
  bool LayersLoaded() const override { return mapProps_.layerscargados; }
  bool Idle() const override { return pending_ == 0; }
  void ForgetPendingRequests() override { pending_ = 0; }
  std::string Popup(const ContextMenu& menu, SurfaceXY at) override;
  void PanFrom(GeoLonLat down, GeoLonLat up) override;
  void ZoomAboutPointer() override;
  void ClearSelection() override;
  void SetRubberBand(std::optional<SurfaceLine> corners) override;
  void SetPictureShift(std::optional<SurfaceXY> shift) override;
  void SetRubberLines(std::optional<SurfaceLine> fromLast,
                      std::optional<SurfaceLine> fromFirst) override;
  void DrawFigure(bool closed) override;
  void SetToolPointer(int toolCode) override;

  void Initialize();
  void RegisterSetupHandlers();
  void FirstShow();
  void PlaceCompanyLabel();
  void CloseAndWait();
  void EndDrag();
  void HideRubberLines();
  void AnnounceProperty(const char* name);

  // Drawing (viewer_loading.cpp).
  void PaintBackground();
  void DrawPasses(std::optional<std::int32_t> recalculated);
  // ImagePainter: image layers draw their raster for the current view.
  void DrawImage(std::int32_t imageNumber) override;
  void RepaintImage(std::int32_t imageNumber) override { DrawImage(imageNumber); }
  void HighlightSelection();
  void RequestVisibleData();
  void RaiseRedrawnWhenIdle();
  void Resized();

  // Tools (viewer_mouse.cpp).
  MouseTool& ActiveTool() { return toolDispatch_.Active(); }
  void PaintOnto(QPainter& painter) const;
  static int Buttons(Qt::MouseButtons buttons);
  static int ShiftState(Qt::KeyboardModifiers modifiers);
  // Applies a wheel or key step when the map is loaded and idle.
  void StepView(const std::optional<ExtentsRect>& rect);
  // The map tooltip, created on first use.
  QtToolTip& ToolTip();
  QtToolTip* ToolTip_ = nullptr;

  // Seams, owned when the defaults are used.
  std::unique_ptr<Connection> ownSock_;
  std::unique_ptr<Interaction> ownUi_;
  std::unique_ptr<Clock> ownClock_;
  std::unique_ptr<EventPump> ownPump_;
  std::unique_ptr<PopupMenus> ownMenus_;
  Connection* sock_ = nullptr;
  Interaction* ui_ = nullptr;
  const Clock* clock_ = nullptr;
  EventPump* pump_ = nullptr;
  PopupMenus* menus_ = nullptr;

  std::unique_ptr<ServerLink> link_;
  CellValueSender cellValues_{*this};
  MapProperties mapProps_;
  ViewerProperties props_;
  // Before the layers: a layer closes its image when it goes.
  std::unique_ptr<RasterImages> images_;
  std::unique_ptr<orvenda::Layers> layers_;
  std::unique_ptr<ViewTransform> view_;
  std::unique_ptr<QPainterSurface> surface_;
  ToolState tools_;
  ToolDispatcher toolDispatch_{*this};
  WheelNotches wheel_;
  StatusList status_;
  Theme HighlightTheme;
  Theme DrawTheme;

  QImage imgMap_;
  QLabel* lblstatus_ = nullptr;
  QLabel* lblCompany_ = nullptr;
  std::optional<QRect> rubberBand_;
  std::optional<QPoint> pictureShift_;
  std::optional<SurfaceLine> tmpLine1_, tmpLine2_;
  QString imagePath_;
  std::int32_t pending_ = 0;
  std::int32_t ViewWidth_ = 0;
  std::int32_t ViewHeight_ = 0;
  int mousePointer_ = 0;
  int customPointer_ = 0;
  bool firstShow_ = true;
  bool resizeWaiting_ = false;  // resized while requests were pending
  bool readingVisible_ = false;
  std::uint32_t readingColour_ = kReadingGreen;
  // Element information, selection and queries (viewer_info.cpp): the per-viewer
  // state of the exchanges, the picking members and their events.
 public:
  // The attributes of one element (request 4), or with IDElement 0 the
  // information tool on the layer; ReleaseEvent sends them to InfoArrival.
  void GetInfo(std::int32_t IDLayer, std::int32_t IDElement = 0, bool ReleaseEvent = false);
  // The selection tool on a layer; its "Resume" raises SelectionSet.
  void SelectObjects(std::int32_t IDLayer);
  // The erase tool on a layer (drawing rights); "Resume" erases the selection.
  void EraseEntity(std::int32_t IDLayer);
  // Attribute editing (editor or drawing rights): with an element and one value
  // per field, those values are sent at once; otherwise the editing tool is armed.
  void EditInfo(std::int32_t IDLayer, std::int32_t IDElement = 0,
                const QStringList& FieldInfo = {});
  // Reshaping an element of a layer the user may draw on: the element clicked.
  void EditGeography(std::int32_t IDLayer);
  void ZoomToSelected(std::int32_t IDLayer, const std::vector<std::int32_t>& IDElement) override;
  InfoExchange& infoExchange() override { return info_; }
  void Highlight(layer& lay, std::int32_t elementId) override;
  void RaiseInfoArrival(const ElementInfo& info) override;
  // Asks the host for the attribute values of a new element of `lay` when
  // ReleaseAttrEvent is set: its values, or nothing when the host cancelled.
  std::optional<std::vector<std::string>> RaiseNewElement(layer& lay);
  bool ReleaseAttrEvent = false;
  // Without points, arms the drawing tool of the layer's kind (ALDraw needed); with
  // points, only answers whether they make an element of that kind.
  bool AddElement(std::int32_t IDLayer, std::int32_t NumPoints = 0,
                  const std::vector<double>& X = {}, const std::vector<double>& Y = {});
  // Finds the elements of a layer whose field meets a condition (viewer_find.cpp):
  // what the caller left out (layer 0, field "", operation 0) the user chooses.
  // ReleaseEvent lists the results; without it they go to SelectionSet.
  void FindByCondition(std::int32_t IDLayer = 0, const QString& FieldName = {},
                       std::uint8_t Operation = 0, const QString& Value1 = {},
                       const QString& value2 = {}, bool ReleaseEvent = true);
  // Finds a street address on a layer, asking for what was not given.
  void FindAddress(std::int32_t IDLayer = 0, const QString& AddressName = {},
                   const QString& AddressNumber = {});
  // Multiple selection (viewer_select.cpp): the dialog, given the host's constraint
  // arrays, then the polygon picked or drawn on the map, then the selection.
  void MultipleSelect(bool FromPolygon = false, std::int32_t SourceLayer = 0,
                      std::int32_t IDElement = 0, std::int32_t TargetLayer = 0);
  void MultipleSelect(bool FromPolygon, std::int32_t SourceLayer, std::int32_t IDElement,
                      std::int32_t TargetLayer, const ConstraintArrays& Constraints);

 signals:
  // The attributes of an element asked for with ReleaseEvent set.
  void InfoArrival(int IDLayer, int IDElement, const QStringList& FieldName,
                   const QList<int>& FieldTypes, const QStringList& FieldData);
  // A selection made with SelectObjects was finished.
  void SelectionSet(int IDLayer, int ElementsCount, const QList<int>& Elements);
  // A new element is being added: the host fills FieldValue, or sets Cancel.
  // Connect it directly: the arguments are filled in place.
  void OnNewElement(const QStringList& FieldName, const QList<int>& FieldType,
                    QStringList& FieldValue, bool& Cancel);

 private:
  layer* FindLayer(std::int32_t layerId) override;
  void RequestInformation(std::int32_t layerId, const std::vector<std::int32_t>& ids) override;
  void RaiseSelectionSet(std::int32_t layerId, const std::vector<std::int32_t>& ids) override;
  void EraseElements(std::int32_t layerId, const std::vector<std::int32_t>& ids) override;
  void EditAttributes(std::int32_t layerId, const std::vector<std::int32_t>& ids) override;
  std::optional<std::vector<std::string>> AskNewElementValues(layer& lay,
                                                              const std::string& title) override;
  std::optional<ProjectedXY> AskRelativeTo() override;
  std::optional<std::pair<double, double>> AskSmartEndPoint(
      const std::function<bool()>& selectSegment) override;

  void SetVertexMarker(std::optional<SurfaceXY> centre) override;
  bool SendToServer(const DWBUffer& request) override;

  void MultipleSelectPolygon(std::int32_t elementId, const std::vector<Point>& drawn) override;
  void UnloadSelectForm() override;
  void RunSelectForm();
  dlgSelect* SelectForm_ = nullptr;  // a child of the control while open
  std::vector<Point> drawnPolygon_;

  InfoExchange info_;
  std::unique_ptr<QueryResultsView> results_;
  std::optional<SurfaceXY> shpVertex_;

  // Layer setup and the map's legend (viewer_setup.cpp).
 public:
  // Opens the setup of a layer's classes and labels (if idle) and applies an OK.
  void LayerSetup(std::int32_t IDLayer);
  void ShowMapReferences();
  void RestoreMapReferences();
  void HideMapReferences();
  void TerminateMapReferences();
  // The dialog waiting for the server's values of a field (reply 106), or null.
  dlgLayerSetup* LayerSetupForm() const { return LayerSetupForm_; }
  dlgMapReferences* MapReferencesForm() const;

 private:
  void FieldValuesArrived(const FieldValuesReply& reply);
  void CloseLayerSetup();
  void RefreshMapReferences();
  dlgLayerSetup* LayerSetupForm_ = nullptr;
  QPointer<dlgMapReferences> MapReferencesForm_;
};

}  // namespace orvenda
