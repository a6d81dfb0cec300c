// The stored layout of TForm1: what the window shows before FormCreate runs.
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

#include "ui/click_label.h"
#include "ui/error_display.h"
#include "ui/file_list_box.h"
#include "ui/file_list_model.h"
#include "ui/main_window.h"
#include "ui/option_check_box.h"
#include "ui/pictures.h"
#include "ui/ui_fonts.h"

namespace orvela {

namespace {

constexpr int kToolBarHeight = 54;
constexpr int kPagesHeight = 139;
constexpr int kStatusBarHeight = 19;
const QColor kNavy(0x00, 0x00, 0x80);
// The classic system colours of a scroll bar and an active window border.
const QColor kScrollBarColour(0xD4, 0xD0, 0xC8);
const QColor kActiveBorderColour(0xD4, 0xD0, 0xC8);

// Page tabs drawn as flat buttons: the page in front looks pressed.
const char kFlatTabs[] =
    "QTabWidget::pane { border: none; }"
    "QTabBar::tab { padding: 3px 7px; margin: 2px 2px 1px 0px; border: 1px solid transparent;"
    " background: transparent; }"
    "QTabBar::tab:selected { border-color: #808080 #ffffff #ffffff #808080;"
    " background: #e4e4e4; }"
    "QTabBar::tab:hover:!selected { border-color: #ffffff #808080 #808080 #ffffff; }";

const char kToolBarStyle[] =
    "QToolBar { border: none; spacing: 0px; padding: 0px; }"
    "QToolBar::separator { width: 8px; }";

void Colour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

QPlainTextEdit* MakeMemo(QWidget* page, const QFont& font, const QStringList& lines) {
  auto* memo = new QPlainTextEdit(page);
  memo->setReadOnly(true);
  memo->setFrameShape(QFrame::NoFrame);
  memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setFont(font);
  QPalette palette = memo->palette();
  palette.setColor(QPalette::Base, kScrollBarColour);
  palette.setColor(QPalette::Text, kNavy);
  memo->setPalette(palette);
  memo->setPlainText(lines.join(QLatin1Char('\n')));
  return memo;
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  InitResources();
  setFont(UiFont());
  setWindowIcon(AppIcon());
  resize(575, 543);

  BuildMenu();
  Panel3 = new QFrame(this);
  Panel3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setCentralWidget(Panel3);
  auto* column = new QVBoxLayout(Panel3);
  column->setContentsMargins(1, 1, 1, 1);
  column->setSpacing(0);
  BuildToolBar();
  column->addWidget(ToolBar1);
  ListModel = new FileListModel(this);
  ListBox1 = new TFileListBox(ListModel, Panel3);
  column->addWidget(ListBox1, 1);
  BuildPages();
  column->addWidget(PageControl2);
  BuildStatusBar();
  ConnectHandlers();

  // Created once and centred on the desktop.
  if (const QScreen* screen = this->screen()) {
    const QRect desk = screen->availableGeometry();
    move(desk.center() - QPoint(width() / 2, height() / 2));
  }
  Guarded([this] { FormCreate(); });
}

void TForm1::BuildMenu() {
  MainMenu1 = menuBar();
  F1 = MainMenu1->addMenu(QStringLiteral("文件(&F)"));
  X1 = F1->addAction(QStringLiteral("退出(&X)"));
}

QToolButton* TForm1::AddToolButton(const QString& caption, const QString& hint, int picture) {
  auto* button = new QToolButton(ToolBar1);
  button->setText(caption);
  button->setToolTip(hint);
  button->setIcon(QIcon(Picture(picture)));
  button->setIconSize(QSize(kPictureSize, kPictureSize));
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  button->setAutoRaise(true);
  button->setFixedSize(55, 52);
  ToolBar1->addWidget(button);
  return button;
}

void TForm1::BuildToolBar() {
  ToolBar1 = new QToolBar(Panel3);
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setIconSize(QSize(kPictureSize, kPictureSize));
  ToolBar1->setStyleSheet(QLatin1String(kToolBarStyle));
  BtnOpenFolder =
      AddToolButton(QStringLiteral("添加目录"), QStringLiteral("增加文件夹下所有文件"), 0);
  BtnAddFile = AddToolButton(QStringLiteral("添加文件"), QStringLiteral("添加文件"), 1);
  ToolButton3 = ToolBar1->addSeparator();
  BtnUp = AddToolButton(QStringLiteral("上移"), QStringLiteral("上移文件"), 2);
  BtnDown = AddToolButton(QStringLiteral("下移"), QStringLiteral("下移文件"), 3);
  ToolButton6 = ToolBar1->addSeparator();
  BtnDelete = AddToolButton(QStringLiteral("移除"), QStringLiteral("删除一条"), 8);
  BtnDeleteAll = AddToolButton(QStringLiteral("移除全部"), QStringLiteral("删除全部"), 4);
  ToolButton10 = ToolBar1->addSeparator();
  ToolButton1 = AddToolButton(QStringLiteral("编码知识"), QStringLiteral("中文编码知识库"), 6);
  BtnExit = AddToolButton(QStringLiteral("退出"), QStringLiteral("退出"), 5);
  ToolBar1->setFixedHeight(kToolBarHeight);
}

void TForm1::BuildPages() {
  PageControl2 = new QTabWidget(Panel3);
  PageControl2->setFixedHeight(kPagesHeight);
  PageControl2->setDocumentMode(true);
  PageControl2->setStyleSheet(QLatin1String(kFlatTabs));
  TabSheet3 = new QWidget;
  TabSheet5 = new QWidget;
  TabSheet4 = new QWidget;
  TabSheet6 = new QWidget;
  TabSheet7 = new QWidget;
  PageControl2->addTab(TabSheet3, QStringLiteral("中文字繁简转换"));
  PageControl2->addTab(TabSheet5, QStringLiteral("选项"));
  PageControl2->addTab(TabSheet4, QStringLiteral("使用帮助：选用什么样的编码？"));
  PageControl2->addTab(TabSheet6, QStringLiteral("使用须知！"));
  PageControl2->addTab(TabSheet7, QStringLiteral("关于"));
  BuildConversionPage();
  BuildOptionsPage();
  BuildTextPages();
  BuildAboutPage();
  PageControl2->setCurrentWidget(TabSheet6);
}

void TForm1::BuildConversionPage() {
  auto radio = [this](const char* caption, int left, int top) {
    auto* button = new QRadioButton(QString::fromUtf8(caption), TabSheet3);
    button->setGeometry(left, top, 250, 17);
    return button;
  };
  // One group (same parent), none checked at start.
  RbGB2GBK = radio("简体中文GB2312转换为GBK码繁体中文", 5, 7);
  RbGBK2GB = radio("GBK码繁体中文转达换为简体中文GB2312", 258, 7);
  RbGB2Big5 = radio("简体中文GB2312转换为Big5码繁体中文", 5, 31);
  RbBig52GB = radio("Big5码繁体中文转换为简体中文GB2312", 258, 31);
  RbBig52GBK = radio("Big5码繁体中文转换为GBK码繁体中文", 5, 56);
  RbGBK2Big5 = radio("GBK码繁体中文转换为Big5码繁体中文", 258, 56);
  BtnSc2Tc = new QPushButton(QStringLiteral("转换"), TabSheet3);
  BtnSc2Tc->setGeometry(234, 83, 72, 23);
  QWidget* order[] = {RbBig52GB, RbBig52GBK, RbGB2Big5, RbGB2GBK, BtnSc2Tc, RbGBK2GB, RbGBK2Big5};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i)
    QWidget::setTabOrder(order[i], order[i + 1]);
}

void TForm1::BuildOptionsPage() {
  ChkAlterTag = new TOptionCheckBox(TabSheet5);
  ChkAlterTag->setGeometry(16, 16, 17, 33);
  // No buddy and no click handler: clicking the text leaves the check box alone.
  lblChkAlterTag = new QLabel(TabSheet5);
  lblChkAlterTag->setGeometry(35, 24, 462, 65);
  lblChkAlterTag->setWordWrap(true);
  lblChkAlterTag->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblChkAlterTag->setAutoFillBackground(true);
  Colour(lblChkAlterTag, QPalette::Window, kActiveBorderColour);
  ChkByChar = new QCheckBox(QStringLiteral("逐字转换（不按词语）"), TabSheet5);
  ChkByChar->setGeometry(16, 96, 200, 20);
  ChkCheckEncoding = new QCheckBox(QStringLiteral("转换前检查文件编码（推荐）"), TabSheet5);
  ChkCheckEncoding->setGeometry(240, 96, 258, 20);
}

void TForm1::BuildTextPages() {
  Memo1 = MakeMemo(
      TabSheet4, UiFont(),
      {QStringLiteral("GB2312字集是简体字集，全称为GB2312(80)字集，共包括国标简体汉字6763个。 "),
       QStringLiteral("BIG5字集是台湾繁体字集，共包括国标繁体汉字13053个。 "),
       QStringLiteral("GBK字集是简繁字集，包括了GB字集、BIG5字集和一些符号，共包括21003个字符。 "),
       QString(),
       QStringLiteral(
           "一般来说，如果您在简体中文操作系统中使用繁体字，选GBK码繁体中文；如果您在繁体中文操"),
       QStringLiteral("作系统中使用繁体字,选Big5码繁体中文。")});
  auto* helpLayout = new QVBoxLayout(TabSheet4);
  helpLayout->setContentsMargins(0, 0, 0, 0);
  helpLayout->addWidget(Memo1);

  Memo2 = MakeMemo(
      TabSheet6, SongtiFont(),
      {QStringLiteral(
           "1、本软件只能用于文本文件（如TXT文件、HTML网页文件）中文繁简字体转换，不能用于其它非"),
       QStringLiteral("文本文件，如XLS、EXE、DLL等类型文件。"), QString(),
       QStringLiteral("2、使用前建议您先做好原文件的备份，发防信息损失。")});
  auto* notesLayout = new QVBoxLayout(TabSheet6);
  notesLayout->setContentsMargins(3, 3, 3, 3);
  notesLayout->addWidget(Memo2);
}

void TForm1::BuildAboutPage() {
  Image1 = new QLabel(TabSheet7);
  Image1->setGeometry(8, 8, 32, 32);
  Image1->setPixmap(AppPicture());
  lblVersion = new QLabel(TabSheet7);
  lblVersion->setGeometry(56, 8, 297, 17);
  lblEmail = new QLabel(QStringLiteral("Email: orvela@example.org"), TabSheet7);
  lblEmail->setGeometry(56, 40, 177, 13);
  lblHome = new TClickLabel(QStringLiteral("主页"), TabSheet7);
  lblHome->setGeometry(248, 40, 33, 13);
  lblHome->setCursor(Qt::PointingHandCursor);
  QFont underlined = UiFont();
  underlined.setUnderline(true);
  lblHome->setFont(underlined);
  for (QLabel* label : {lblVersion, lblEmail, static_cast<QLabel*>(lblHome)})
    Colour(label, QPalette::WindowText, kNavy);
}

void TForm1::BuildStatusBar() {
  StatusBar1 = statusBar();
  StatusBar1->setFixedHeight(kStatusBarHeight);
  for (auto [panel, width] : {std::pair{&StatusPanel1, 400}, std::pair{&StatusPanel2, 50}}) {
    *panel = new QLabel(StatusBar1);
    (*panel)->setFixedWidth(width);
    (*panel)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->addWidget(*panel);
  }
}

}  // namespace orvela
