#include "app/about_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrlQuery>

#include "app/artwork.h"
#include "app/palette.h"
#include "ui/app_context.h"
#include "ui/user_dialogs.h"

TAboutFrm::TAboutFrm(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
  setObjectName("AboutFrm");
  setWindowTitle("About VELDRA QX");
  setFixedSize(530, 309);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kPanelColor);
  setPalette(pal);

  WebLabel = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(kMakerWeb), this);
  WebLabel->setObjectName("WebLabel");
  WebLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  connect(WebLabel, &QLabel::linkActivated, this, [this] { OpenWeb(); });
  MailLabel = new QLabel(QStringLiteral("<a href=\"mailto:%1\">%1</a>").arg(kMakerMail), this);
  MailLabel->setObjectName("MailLabel");
  MailLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  connect(MailLabel, &QLabel::linkActivated, this, [this] { OpenMail(); });
  LogoPicture = new QLabel(this);
  LogoPicture->setObjectName("LogoPicture");
  LogoPicture->setFixedSize(385, 309);
  LogoPicture->setPixmap(Artwork("about", 385, 309));
  WebButton = new QPushButton(this);
  WebButton->setObjectName("WebButton");
  WebButton->setFixedSize(107, 107);
  WebButton->setIcon(ArtworkIcon("web", 96));
  WebButton->setIconSize(QSize(96, 96));
  connect(WebButton, &QPushButton::clicked, this, [this] { OpenWeb(); });
  CalVerLabel = new QLabel("Calibration v0", this);
  CalVerLabel->setObjectName("CalVerLabel");

  auto* title = new QLabel("<b>VELDRA QX</b><br>VELDRA QuadraGauge", this);
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(8, 8, 0, 0);
  layout->addWidget(title, 0, 0);
  layout->addWidget(WebLabel, 1, 0);
  layout->addWidget(MailLabel, 2, 0);
  layout->addWidget(WebButton, 3, 0, Qt::AlignLeft);
  layout->setRowStretch(4, 1);
  layout->addWidget(CalVerLabel, 5, 0, Qt::AlignLeft | Qt::AlignBottom);
  layout->addWidget(LogoPicture, 0, 1, 6, 1);
}

void TAboutFrm::FormActivate() {
  CalVerLabel->setText("Calibration v" + QString::number(context_.state.ImgCalibration.CalVer));
}

void TAboutFrm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TAboutFrm::OpenWeb() { context_.dialogs->OpenUrl(QUrl(kMakerWeb)); }

void TAboutFrm::OpenMail() {
  QUrl url(QStringLiteral("mailto:%1").arg(kMakerMail));
  QUrlQuery query;
  query.addQueryItem("subject", "VELDRA QX question");
  query.addQueryItem("body", "insert your question here...");
  url.setQuery(query);
  context_.dialogs->OpenUrl(url);
}
