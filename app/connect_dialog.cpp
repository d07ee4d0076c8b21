#include "app/connect_dialog.h"

#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>

#include "app/artwork.h"
#include "app/palette.h"
#include "ui/app_context.h"

TFrmConnect::TFrmConnect(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
  setObjectName("FrmConnect");
  setWindowTitle("CONNECT");
  setFixedSize(344, 303);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kPanelColor);
  setPalette(pal);
  FileList = new QListWidget(this);
  FileList->setObjectName("FileList");
  FileList->setFixedSize(249, 287);
  MainCancelbtn = new QPushButton(this);
  MainCancelbtn->setObjectName("MainCancelbtn");
  MainCancelbtn->setFixedSize(73, 73);
  MainCancelbtn->setIcon(ArtworkIcon("cancel", 48));
  MainCancelbtn->setIconSize(QSize(48, 48));
  exitbtn = new QPushButton(this);
  exitbtn->setObjectName("exitbtn");
  exitbtn->setFixedSize(73, 73);
  exitbtn->setIcon(ArtworkIcon("ok", 48));
  exitbtn->setIconSize(QSize(48, 48));
  connect(MainCancelbtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(exitbtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(FileList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(FileList, 0, 0, 3, 1);
  layout->addWidget(exitbtn, 0, 1, Qt::AlignTop);
  layout->addWidget(MainCancelbtn, 2, 1, Qt::AlignBottom);
}

void TFrmConnect::SetFiles(const std::vector<std::string>& names) {
  FileList->clear();
  for (const std::string& name : names) FileList->addItem(QString::fromStdString(name));
}

std::string TFrmConnect::SelectedFile() const {
  const QListWidgetItem* item = FileList->currentItem();
  return item && item->isSelected() ? item->text().toStdString() : std::string();
}

void TFrmConnect::FormActivate() {
  const LanguageStore& l = context_.language;
  setWindowTitle(QString::fromStdString(l.GetLanguageString(l.IndexOf("MAINMENU") + 13)));
}

void TFrmConnect::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}
