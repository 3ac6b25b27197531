#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "data/locations.h"
#include "data/point_table.h"
#include "view/geodesy.h"
#include "view/view_values.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace globeview {

class Desktop;
class MessageBox;

// The services the window takes from the platform. A null or empty member means the real one,
// so the program passes only what it learnt at start-up and tests substitute doubles.
struct Form1Services {
  // The screen and this window; null: Qt's.
  Desktop* desktop = nullptr;
  // Messages of a failed check; null: a Qt message box over the window.
  MessageBox* messageBox = nullptr;
  // Whether another copy was already running when this one started (PreviousInstanceRunning(),
  // asked once at start-up, when the lock is taken).
  bool previousInstanceRunning = false;
  // Where the files are read and "End" saves the view; unset: found from where the program lies
  // (LocateFiles()).
  std::optional<FileLocations> files;
};

// The program's one window: three fields for the view, their labels, "Start" and "End", and the
// picture of the globe beneath them.
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
  void Form_MouseLeave();

  // The picture the last "Start" drew, in device pixels; null before the first.
  const QImage& Picture() const { return picture_; }

  PointTable table;
  // a1, b1, c1: what the fields last held, or the numbers a normalisation made of them.
  ViewValues view;

  QLineEdit* Text1;
  QLineEdit* Text2;
  QLabel* 経度;
  QLabel* Label2;
  QLabel* Label3;
  QPushButton* Command1;
  QLineEdit* Text3;
  QPushButton* Command2;
  // The readout at the bottom left: longitude, latitude, bearing and distance under the pointer.
  QLabel* Label4;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  // Twips per device pixel of the picture, so one pixel of a line is one pixel of the screen.
  double PictureTwipsPerPixel() const;
  // The picture on the screen is about to be replaced; until it is, nothing is read off it.
  void ForgetReadoutView();

  Form1Services services_;
  std::unique_ptr<Desktop> ownDesktop_;
  std::unique_ptr<MessageBox> ownMessageBox_;
  QImage picture_;
  // The view and screen the picture on the screen was drawn with; none before the first.
  std::optional<PictureView> readoutView_;
};

}  // namespace globeview
