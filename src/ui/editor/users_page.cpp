#include "ui/editor/users_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "link/messenger.h"
#include "params/field_rules.h"
#include "ui/widgets/check_list.h"
#include "ui/widgets/column_headers.h"
#include "ui/widgets/control_hint.h"
#include "ui/editor/editor_widgets.h"
#include "ui/widgets/panel_array.h"
#include "ui/widgets/rotated_label.h"
#include "ui/widgets/row_panel.h"

namespace corvanta {

namespace {
const QString kUserCaption = QStringLiteral(". Felhasználó");
constexpr int kUserCaptionMargin = 18;
const QStringList kRightsHeadings{"rlbUPart1",      "rlbUPart2",    "rlbUArm",        "rlbUDisarm",
                                  "rlbUChangeCode", "rlbUEditUser", "rlbUErrorList",  "rlbUTimeSet",
                                  "rlbUEventList",  "rlbUZoneMem",  "rlbUZoneBypass", "rlbUSmokeClear",
                                  "rlbUTelArm",     "rlbUTelDisarm", "rlbUTelRel",    "rlbUTelVoice"};
const QString kCodeMessage = QStringLiteral("A jelszó csak 4 vagy 6 jegyű szám lehet!");
}  // namespace

UsersPage::UsersPage(EditorContext& context, QWidget* parent)
    : EditorPage(QStringLiteral("TabSheet2"), context, parent) {
  QFrame* panel = makePagePanel(QStringLiteral("FoPanel2"));
  using namespace controls;

  auto* rightsTitle = makeLabel(panel, "lbUserRights", "Jogosultságok");
  const QStringList rights = itemTexts(cblUserRights);
  QList<QLabel*> rightsLabels;
  for (int i = 0; i < rights.size(); ++i) rightsLabels << makeRotated(panel, kRightsHeadings[i], rights[i]);
  const QList<QLabel*> name{makeLabel(panel, "lbUUsername", "Felhasználó neve"),
                            makeLabel(panel, "lbUmax10char", "(max 10.karakter)")};
  const QList<QLabel*> code{makeLabel(panel, "lbUUserID", "Azonosító kódja"),
                            makeLabel(panel, "lbU4_6digit", "(4 v. 6 számjegy)")};

  array_ = makeArray(panel, "VPA_FelhPanel",
                     {"FelhPanel", kUserCaption, [this](QWidget* p) { return buildRow(p); }}, kUserCount, 7, 1);
  array_->setFillRow([this](RowPanel* r, int u) { fillRow(r, u); });
  array_->setStoreRow([this](RowPanel* r, int u) { storeRow(r, u); });

  auto* headers = new ColumnHeaders(array_);
  headers->addTitle("cblUserRights", 0, rightsTitle);
  for (int i = 0; i < rightsLabels.size(); ++i) headers->addRotated("cblUserRights", i, {rightsLabels[i]});
  headers->addStacked("edUserName", -1, name);
  headers->addStacked("edUserCode", -1, code);

  auto* box = new QFrame(panel);
  box->setObjectName("Panel95");
  box->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  auto* change = makeLabel(box, "lbChangeMasterCode", "Telepítői kód megváltoztatása:");
  masterCode_ = makeEdit(box, edMasterCode, "lbChangeMasterCode");
  checkOnLeave(masterCode_, [this] { checkCode(masterCode_); });
  auto* boxLayout = new QHBoxLayout(box);
  boxLayout->addWidget(change);
  boxLayout->addWidget(masterCode_);

  auto* l = new QGridLayout(panel);
  l->setRowMinimumHeight(0, headers->height());
  l->addWidget(array_, 1, 0, Qt::AlignLeft | Qt::AlignTop);
  l->addWidget(box, 2, 0, Qt::AlignLeft | Qt::AlignTop);
  l->setRowStretch(3, 1);
  l->setColumnStretch(1, 1);
}

RowPanel* UsersPage::buildRow(QWidget* parent) {
  using namespace controls;
  auto* row = new RowPanel(parent);
  row->setCaptionAlignment(Qt::AlignRight);
  auto* l = new QHBoxLayout(row);
  l->setContentsMargins(rowCaptionWidth(row, kUserCaption, kUserCaptionMargin), 0, 2, 0);
  l->setSpacing(8);
  auto* rights = makeRowCheckList(row, cblUserRights, kRightsHeadings.join(", "));
  connect(rights, &CheckList::clicked, this, [this, rights] { ctx_.rowControlClicked(rights); });
  l->addWidget(rights);
  auto* name = makeEdit(row, edUserName, "lbUUsername+lbUmax10char");
  // The two-line heading over the names is wider than ten letters; the
  // column makes room for it so that it does not run into the next one.
  name->setFixedWidth(qMax(name->width(), widestText(row, {QStringLiteral("Felhasználó neve"),
                                                          QStringLiteral("(max 10.karakter)")}) + 6));
  l->addWidget(name);
  auto* code = makeEdit(row, edUserCode, "lbUUserID+lbU4_6digit");
  checkOnLeave(code, [this, code] { checkCode(code); });
  l->addWidget(code);
  return row;
}

void UsersPage::fillRow(RowPanel* row, int u) {
  RowFillScope filling(ctx_);
  const UserRecord& r = ctx_.values.users[u];
  auto* rights = findInRow<CheckList>(row, "cblUserRights");
  const std::string path = "users[" + std::to_string(u) + "].";
  for (int i = 0; i < int(r.rights.size()); ++i) {
    rights->setChecked(i, r.rights[i]);
    markField(rights->itemBox(i), ctx_, path + "rights[" + std::to_string(i) + "]");
  }
  auto* name = findInRow<QLineEdit>(row, "edUserName");
  name->setText(qs(r.name));
  markField(name, ctx_, path + "name");
  auto* code = findInRow<QLineEdit>(row, "edUserCode");
  code->setText(qs(r.code));
  markField(code, ctx_, path + "code");
  if (captionPad_ < 0) captionPad_ = rowCaptionPadding(array_->templateRow(), kUserCaption, kUserCaptionMargin);
  row->setCaption(QString::number(u + 1) + kUserCaption + QString(captionPad_, u' '));
}

void UsersPage::storeRow(RowPanel* row, int u) {
  UserRecord& r = ctx_.values.users[u];
  auto* rights = findInRow<CheckList>(row, "cblUserRights");
  for (int i = 0; i < int(r.rights.size()); ++i) r.rights[i] = rights->isChecked(i);
  r.name = findInRow<QLineEdit>(row, "edUserName")->text().toStdString();
  r.code = findInRow<QLineEdit>(row, "edUserCode")->text().toStdString();
}

void UsersPage::load() {
  lastMasterCode_ = qs(ctx_.values.installerCode);
  masterCode_->setText(lastMasterCode_);
  markField(masterCode_, ctx_, "installerCode");
}

void UsersPage::save() {
  const QString typed = masterCode_->text();
  const bool good = isAcceptableCode(typed.toStdString(), CodeKind::Installer);
  ctx_.values.installerCode = (good ? typed : lastMasterCode_).toStdString();
}

void UsersPage::checkCode(QLineEdit* edit) {
  // The module's own code, however odd, is left as it is until it is typed over.
  if (showsStoredValue(edit)) return;
  const bool installer = edit == masterCode_;
  if (isAcceptableCode(edit->text().toStdString(), installer ? CodeKind::Installer : CodeKind::User)) {
    if (installer) lastMasterCode_ = edit->text();
    return;
  }
  // The message box takes the focus; the field is not checked again on the way.
  if (warning_) return;
  warning_ = true;
  // A user may be left without a code; the installer may not, or nobody
  // could open the module's settings again, so that field gets its last
  // good code back.
  if (installer)
    edit->setText(lastMasterCode_);
  else
    edit->clear();
  if (ctx_.messenger) ctx_.messenger->showMessage(kCodeMessage);
  warning_ = false;
}

}  // namespace corvanta
