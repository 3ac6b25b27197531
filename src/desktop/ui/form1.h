#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "data/locations.h"
#include "data/point_table.h"
#include "platform/rotator.h"
#include "view/layer_choice.h"
#include "view/map.h"
#include "view/picture.h"
#include "view/view_values.h"

class QKeyEvent;
class QLineEdit;
class QPushButton;
class QTimer;

namespace globeview {

class Desktop;
class MessageBox;
class PictureArea;
class RasterSurface;
class SaveDialog;

// The services the window takes from the platform. A null or empty member means the real one,
// so the program passes only what it learnt at start-up and tests substitute doubles.
struct Form1Services {
  // The screen and this window; null: Qt's.
  Desktop* desktop = nullptr;
  // Messages of a failed check and of a fatal error; null: a Qt message box over the window.
  MessageBox* messageBox = nullptr;
  // Where Ctrl+S writes the picture; null: Qt's file dialog over the window.
  SaveDialog* saveDialog = nullptr;
  // Whether another copy was already running when this one started (the InstanceLock that the
  // program takes at start-up and holds until it ends); "Start" then ends this copy.
  bool previousInstanceRunning = false;
  // Where the files are read and "End" saves the view; unset: found from where the program lies
  // (LocateFiles()).
  std::optional<FileLocations> files;
  // Ends the program with `status`, never returning to the handler that asked, so that a "Start"
  // whose event pass ran "End" does not go on drawing; empty: EndProgram, the immediate end.
  std::function<void(int status)> end;
  // The rotator of globeview.conf's [rotator] section, made by Form_Load when it has one; empty:
  // a Hamlib rotator.
  std::function<std::unique_ptr<Rotator>(const RotatorSettings&)> makeRotator;
};

// The program's one window: three fields for the view, their labels, "Start" and "End", and the
// picture of the globe beneath them. The controls are found by their names ("Text1", "Command1").
class Form1 final : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(Form1Services services = {}, QWidget* parent = nullptr);
  ~Form1() override;

  void Form_Load();
  void Text1_Change();
  void Text2_Change();
  void Text3_Change();
  void Command1_Click();
  void Command2_Click();
  void Form_QueryUnload();
  // The pointer at `position` (the window's pixels) over the last picture: the readout of the place
  // under it, or none off the earth's disc.
  void Form_MouseMove(QPointF position);
  // The pointer left the picture, for outside the window or a control.
  void Form_MouseLeave();
  // The right button pins the target at the place under the pointer, or removes it off the disc.
  void Form_MouseDown(Qt::MouseButton button, QPointF position);
  // The place under the pointer becomes the centre: its longitude and latitude go into the fields
  // and "Start" is pressed.
  void Form_DblClick(QPointF position);
  // Each notch away from the user adds one to the last picture's magnification, each towards the
  // user takes one off, within 1..10; the result goes into its field and "Start" is pressed.
  void Form_MouseWheel(int notches);
  // Esc removes the target, Ctrl+C copies the readout lines, Ctrl+S saves the picture; F2 shows
  // or hides the borders and country names, F3 the cities, F4 the bearing scale and the rings'
  // distances, F5 the locator grid, F6 day and night; with a target pinned, F7 turns the antenna to
  // its short path, Shift+F7 to its long path, and F8 stops the rotator. Any other key is left
  // ignored for the window.
  void Form_KeyDown(QKeyEvent& event);
  // Each minute while day and night are shown: the picture on the screen drawn again at the
  // clock's time, unless the window is hidden or a "Start" is running.
  void Timer1_Timer();
  // The rotator read where the antenna points; it is drawn on the map from now on.
  void Rotator_HeadingRead(double bearing);
  // The rotator cannot be used: the line says why, and the antenna is no longer drawn.
  void Rotator_Failed(const QString& line);

  // The place pinned as the target, kept across pictures until removed; none most of the time.
  const std::optional<Place>& Target() const { return target_; }

  // The picture the last "Start" drew, in device pixels; null before the first.
  const QImage& Picture() const;
  // a1, b1, c1: what the fields last held, or the numbers a normalisation made of them.
  const ViewValues& View() const { return view_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void TakeDefaultServices();
  void ConnectHandlers();
  // The place files, read by Form_Load; one that cannot be read costs its layers, never the start.
  void LoadPlaces();
  // The rotator of globeview.conf's [rotator] section, opened by Form_Load.
  void StartRotator(const RotatorSettings& rotator);
  // The layers of the window's map, built here alone.
  MapLayers Layers(const PictureView& view);
  // The one drawing behind Start, the target, the wheel and the double-click: the map of `view`
  // drawn through `surface` (its background colour set) into the picture's pixels, then shown.
  // False when the pixels cannot be had; the program is then ending with its message.
  bool Redraw(const PictureView& view, RasterSurface& surface);
  // Pins the target, or removes it, and draws the picture on the screen again with it.
  void SetTarget(std::optional<Place> target);
  // F7, Shift+F7 (`longPath`) or F8 (`stop`).
  void TurnAntenna(bool longPath, bool stop);
  // Shows the layers if the first is hidden, else hides them; keeps the choice in globeview.conf
  // and draws the shown picture again.
  void ToggleLayers(std::initializer_list<LayerName> layers);
  // The picture on the screen drawn again as it is, with the target and the layers now chosen, at
  // the clock's time.
  void RedrawShown();
  // The minute's timer runs while day and night are shown, firing at the turn of each minute.
  void FollowClock();
  void CopyReadout();
  void SavePicture();
  void WritePicture(const PictureView& view, const std::string& path);
  // Shows a fatal error's message (stderr and a message box) and ends with status 1.
  void Fail(const std::string& message);
  void End(int status);

  Form1Services services_;
  std::unique_ptr<Desktop> ownDesktop_;
  std::unique_ptr<MessageBox> ownMessageBox_;
  std::unique_ptr<SaveDialog> ownSaveDialog_;
  // Where the last picture of this run was saved; the save dialog opens there.
  std::string saveFolder_;
  // Made by Form_Load, which reads the coastline into it.
  std::unique_ptr<PointTable> table_;
  ViewValues view_;
  std::optional<Place> target_;
  // The layers the map shows.
  LayerChoice layers_ = LayerChoice::Designed();
  // Set while a "Start" runs, whose event pass may fire the timer.
  bool starting_ = false;
  QTimer* Timer1 = nullptr;
  // The antenna's rotator, none without a [rotator] section; where the antenna points while that
  // is known, and where it is being turned to.
  std::unique_ptr<Rotator> rotator_;
  double beamWidth_ = 0;
  std::optional<double> antennaHeading_;
  std::optional<double> antennaGoal_;
  // Started by each heading read: a rotator silent until it runs out has no heading.
  QTimer* headingAge_ = nullptr;
  // The place files, loaded by Form_Load; a file that could not be read is empty.
  MapPlaces places_;

  PictureArea* picture_ = nullptr;
  QLineEdit* Text1 = nullptr;
  QLineEdit* Text2 = nullptr;
  QLineEdit* Text3 = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;
};

}  // namespace globeview
