// Building the settings window: its pages, controls and hidden lists.

#include "common/QtConvert.h"
#include "controls/CoupleLb.h"
#include "controls/DROPDST.h"
#include "controls/EditUpDown.h"
#include "controls/GradBox.h"
#include "controls/OpenDialogEx.h"
#include "controls/PanelEx.h"
#include "controls/SCB.h"
#include "settings/Schema.h"
#include "ui/FontButton.h"
#include "ui/Main.h"
#include "ui/MultiRowTabWidget.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace zbpg {
namespace {

constexpr int kClientWidth = 443;
constexpr int kClientHeight = 401;

QFont pixelFont(const char* face, int pixels, bool bold = false, bool italic = false) {
    QFont font(QString::fromUtf8(face));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

FontDescription shippedFont(int height) {
    return FontDescription{"ＭＳ ゴシック", height, kColorWhite, kFontBold, kShiftJisCharset};
}

QLabel* label(const QString& text, QWidget* parent = nullptr) {
    return new QLabel(text, parent);
}

QToolButton* speedButton(const QString& text, QWidget* parent = nullptr) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAutoRaise(false);
    return button;
}

// The help glyph: themes without icons would show a broken image for the standard one.
QIcon helpGlyph() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 80, 170));
    painter.drawEllipse(0, 0, 16, 16);
    painter.setPen(Qt::white);
    painter.setFont(pixelFont("sans", 12, true));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, "?");
    return QIcon(pixmap);
}

QToolButton* glyphButton(QStyle::StandardPixmap glyph, const QString& hint,
                         QWidget* parent = nullptr) {
    auto* button = new QToolButton(parent);
    button->setIcon(QApplication::style()->standardIcon(glyph));
    button->setToolTip(hint);
    return button;
}

TEditUpDown* numberField(int width = 52) {
    auto* field = new TEditUpDown;
    field->setFixedWidth(width);
    return field;
}

QListWidget* checkList() {
    auto* list = new QListWidget;
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

void setTag(QObject* object, int tag) {
    object->setProperty("Tag", tag);
}

// The icon of the version page: a screen with the frames the program draws.
QPixmap programIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(0, 128, 128));
    painter.drawRect(1, 3, 29, 21);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(3, 5, 18, 13);
    painter.drawRect(3, 5, 12, 9);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::gray);
    painter.drawRect(11, 25, 9, 3);
    return pixmap;
}

QPixmap zorbelImage() {
    QPixmap pixmap(96, 96);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 160), 4));
    painter.setBrush(QColor(255, 255, 255, 160));
    painter.drawEllipse(4, 4, 88, 88);
    painter.setFont(pixelFont("serif", 64, true, true));
    painter.setPen(QColor(200, 0, 0));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, "Z");
    return pixmap;
}

ListControlDescription hiddenList(const char* name, int tag, int left, int top, int width,
                                  int height, int tabOrder) {
    ListControlDescription list;
    list.name = name;
    list.tag = tag;
    list.left = left;
    list.top = top;
    list.width = width;
    list.height = height;
    list.itemHeight = 12;
    list.tabOrder = tabOrder;
    list.visible = false;
    return list;
}

} // namespace

void TFormMain::createWindow() {
    setWindowTitle("ZorbelPaneglyph");
    setFixedSize(kClientWidth, kClientHeight);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QWidget::setFont(pixelFont("ＭＳ Ｐゴシック", 12));

    PageControlEnv = new MultiRowTabWidget;
    PageControlEnv->setObjectName("PageControlEnv");
    PageControlEnv->addTab(TabSheetSetEnv = createSetEnvPage(), "設定");
    PageControlEnv->addTab(TabSheetWallpaper = createWallpaperPage(), "壁紙設定");
    PageControlEnv->addTab(TabSheetMonitorFrame = createMonitorFramePage(), "画面サイズ");
    PageControlEnv->addTab(TabSheetSysInfo = createSysInfoPage(), "システム情報");
    PageControlEnv->addTab(TabSheetFree = createFreePage(), "任意表示");
    PageControlEnv->addTab(TabSheetAppExec = createAppExecPage(), "外部アプリ起動");
    PageControlEnv->addTab(TabSheetVersion = createVersionPage(), "バージョン情報");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(PageControlEnv, 1);
    layout->addWidget(createButtonRow());

    createTemplates();
    createHiddenLists();

    OpenDialogEx = new TOpenDialogEx(this);
    OpenDialogEx->Title = "ファイルを選択してください";
    DropDstFreeFile = new TDropDst(this);
    DropDstFreeFile->SetControl(EditFMFile);
    DropDstWallpaper = new TDropDst(this);
    DropDstWallpaper->SetControl(CheckListBoxWPList);
    DropDstAEBef = new TDropDst(this);
    DropDstAEBef->SetControl(CheckListBoxAEBef);
    DropDstAEAft = new TDropDst(this);
    DropDstAEAft->SetControl(CheckListBoxAEAft);

    TimerVersion = new QTimer(this);
    TimerVersion->setInterval(1000);
    TimerVersion->start();
}

QWidget* TFormMain::createSetEnvPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    auto* method = new QGroupBox("描画方法");
    auto* methodLayout = new QVBoxLayout(method);
    RadioButtonOverwrite = new QRadioButton("デスクトップに上書きで描画");
    RadioButtonRewrite = new QRadioButton("壁紙を再表示してから描画");
    RadioButtonOverwrite->setChecked(true);
    auto* note = label("（「壁紙設定」が有効な場合は      意味がありません。。。）");
    note->setIndent(20);
    methodLayout->addWidget(RadioButtonOverwrite);
    methodLayout->addWidget(RadioButtonRewrite);
    methodLayout->addWidget(note);
    layout->addWidget(method);

    auto* sequence = new QGroupBox("描画順序");
    auto* sequenceLayout = new QHBoxLayout(sequence);
    ListBoxDrawSeq = new QListWidget;
    ListBoxDrawSeq->setObjectName("ListBoxDrawSeq");
    ListBoxDrawSeq->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBoxDrawSeq->setFixedSize(145, 58);
    auto* arrows = new QVBoxLayout;
    SpeedButtonDSUp = glyphButton(QStyle::SP_ArrowUp, "上に移動");
    SpeedButtonDSDown = glyphButton(QStyle::SP_ArrowDown, "下に移動");
    arrows->addWidget(SpeedButtonDSUp);
    arrows->addWidget(SpeedButtonDSDown);
    arrows->addStretch();
    sequenceLayout->addWidget(ListBoxDrawSeq);
    sequenceLayout->addLayout(arrows);
    sequenceLayout->addWidget(label("上から順に描画します。"), 1);
    layout->addWidget(sequence);

    auto* startup = new QGroupBox("スタートアップ");
    auto* startupLayout = new QVBoxLayout(startup);
    SpeedButtonStartUp = speedButton("登録");
    SpeedButtonStartUp->setMinimumWidth(60);
    EditUpDownStartUp = numberField();
    EditUpDownStartUp->SetMax(999);
    auto* registration = new QHBoxLayout;
    registration->addWidget(SpeedButtonStartUp);
    registration->addSpacing(12);
    registration->addWidget(label("スタートアップ時に"));
    registration->addWidget(EditUpDownStartUp);
    registration->addWidget(label("秒待つ"));
    registration->addStretch();
    startupLayout->addWidget(
        label("「ZorbelPaneglyph」をスタートアップに登録・解除する（-OnlyDraw付き）"));
    startupLayout->addLayout(registration);
    layout->addWidget(startup);

    auto* reset = new QHBoxLayout;
    SpeedButtonAllInit = speedButton("初期化");
    SpeedButtonAllInit->setMinimumWidth(70);
    reset->addStretch();
    reset->addWidget(SpeedButtonAllInit);
    layout->addLayout(reset);
    layout->addStretch();
    return page;
}

QWidget* TFormMain::createWallpaperPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    CheckBoxWallpaper = new QCheckBox("壁紙を変更・描画する");
    layout->addWidget(CheckBoxWallpaper);

    PanelExWallPaper = new TPanelEx;
    auto* panel = new QVBoxLayout(PanelExWallPaper);
    panel->setContentsMargins(0, 0, 0, 0);

    auto* listRow = new QHBoxLayout;
    CheckListBoxWPList = checkList();
    auto* buttons = new QVBoxLayout;
    SpeedButtonWPOpen = glyphButton(QStyle::SP_DialogOpenButton, "開く（追加）");
    SpeedButtonWPDel = glyphButton(QStyle::SP_DialogDiscardButton, "削除");
    SpeedButtonWPAllDel = glyphButton(QStyle::SP_TrashIcon, "全て削除");
    SpeedButtonWPAllOn = glyphButton(QStyle::SP_DialogApplyButton, "全てのチェックをON");
    SpeedButtonWPAllOff = glyphButton(QStyle::SP_DialogCancelButton, "全てのチェックをOFF");
    SpeedButtonWPUp = glyphButton(QStyle::SP_ArrowUp, "上に移動");
    SpeedButtonWPDown = glyphButton(QStyle::SP_ArrowDown, "下に移動");
    for (auto* button :
         {SpeedButtonWPOpen, SpeedButtonWPDel, SpeedButtonWPAllDel, SpeedButtonWPAllOn,
          SpeedButtonWPAllOff, SpeedButtonWPUp, SpeedButtonWPDown})
        buttons->addWidget(button);
    buttons->addStretch();
    listRow->addWidget(CheckListBoxWPList, 1);
    listRow->addLayout(buttons);
    panel->addLayout(listRow, 1);

    CheckBoxWPSubFolder = new QCheckBox("フォルダ指定時に配下のサブフォルダも対象にする");
    CheckBoxWPSubFolder->setChecked(true);
    panel->addWidget(CheckBoxWPSubFolder);

    auto* options = new QHBoxLayout;
    auto* position = new QGroupBox("壁紙の表示位置");
    auto* positionLayout = new QVBoxLayout(position);
    RadioButtonWPPCenter = new QRadioButton("中央に表示");
    RadioButtonWPPEnum = new QRadioButton("並べて表示");
    RadioButtonWPPSpread = new QRadioButton("拡大して表示");
    RadioButtonWPPCenter->setChecked(true);
    for (auto* radio : {RadioButtonWPPCenter, RadioButtonWPPEnum, RadioButtonWPPSpread})
        positionLayout->addWidget(radio);
    auto* order = new QGroupBox("壁紙の選択方法");
    auto* orderLayout = new QVBoxLayout(order);
    RadioButtonWPSRandom = new QRadioButton("ランダムに表示");
    RadioButtonWPSSeq = new QRadioButton("上から順番に表示");
    RadioButtonWPSRandom->setChecked(true);
    orderLayout->addWidget(RadioButtonWPSRandom);
    orderLayout->addWidget(RadioButtonWPSSeq);
    orderLayout->addStretch();
    options->addWidget(position);
    options->addWidget(order);
    panel->addLayout(options);

    auto* property = new QHBoxLayout;
    SpeedButtonProperty = speedButton("「画面のプロパティ」を開く");
    property->addStretch();
    property->addWidget(SpeedButtonProperty);
    panel->addLayout(property);

    layout->addWidget(PanelExWallPaper, 1);
    return page;
}

QWidget* TFormMain::createMonitorFramePage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    CheckBoxMonitorFrame = new QCheckBox("画面サイズ（フレーム）を描画する");
    CheckBoxMonitorFrame->setChecked(true);
    layout->addWidget(CheckBoxMonitorFrame);

    PanelExMonitorFrame = new TPanelEx;
    auto* panel = new QGridLayout(PanelExMonitorFrame);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setVerticalSpacing(4);

    auto* anchor = new QGroupBox("描画の基準位置");
    auto* anchorLayout = new QGridLayout(anchor);
    anchorLayout->setContentsMargins(8, 4, 8, 4);
    auto* anchors = new QButtonGroup(anchor);
    anchors->setExclusive(true);
    auto anchorButton = [&](QToolButton*& button, const char* caption, int row, int column) {
        button = speedButton(QString::fromUtf8(caption));
        button->setCheckable(true);
        button->setMinimumWidth(40);
        anchors->addButton(button);
        anchorLayout->addWidget(button, row, column);
    };
    anchorButton(SpeedButtonMFPlt, "左上", 0, 0);
    anchorButton(SpeedButtonMFPrt, "右上", 0, 2);
    anchorButton(SpeedButtonMFPc, "中央", 1, 1);
    anchorButton(SpeedButtonMFPlb, "左下", 2, 0);
    anchorButton(SpeedButtonMFPrb, "右下", 2, 2);
    SpeedButtonMFPlt->setChecked(true);
    panel->addWidget(anchor, 0, 0);

    auto* sizes = new QGroupBox("描画するサイズ");
    auto* sizesLayout = new QGridLayout(sizes);
    sizesLayout->setContentsMargins(8, 4, 8, 4);
    sizesLayout->setVerticalSpacing(2);
    const char* captions[] = {"640 * 480",  "800 * 600",   "1024 * 768",
                              "1152 * 864", "1280 * 1024", "1600 * 1200"};
    for (int i = 0; i < 6; ++i) {
        CheckBoxSZ[static_cast<std::size_t>(i)] = new QCheckBox(captions[i]);
        CheckBoxSZ[static_cast<std::size_t>(i)]->setChecked(true);
        sizesLayout->addWidget(CheckBoxSZ[static_cast<std::size_t>(i)], i % 3, i / 3);
    }
    CheckBoxSZFree = new QCheckBox("任意指定");
    sizesLayout->addWidget(CheckBoxSZFree, 3, 0);
    PanelExMFSFree = new TPanelEx;
    auto* free = new QGridLayout(PanelExMFSFree);
    free->setContentsMargins(16, 0, 0, 0);
    EditUpDownSZWidth = numberField();
    EditUpDownSZHeight = numberField();
    EditCmnt = new QLineEdit;
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(EditUpDownSZWidth);
    sizeRow->addWidget(label("*"));
    sizeRow->addWidget(EditUpDownSZHeight);
    sizeRow->addStretch();
    free->addWidget(label("サイズ"), 0, 0);
    free->addLayout(sizeRow, 0, 1);
    free->addWidget(label("コメント"), 1, 0);
    free->addWidget(EditCmnt, 1, 1);
    sizesLayout->addWidget(PanelExMFSFree, 4, 0, 1, 2);
    panel->addWidget(sizes, 0, 1);

    auto* colour = new QGroupBox("フレーム描画色");
    auto* colourLayout = new QHBoxLayout(colour);
    colourLayout->setContentsMargins(8, 4, 8, 4);
    SelectColorButtonMF = new TSelectColorButton;
    SelectColorButtonMF->SetColor(kColorWhite);
    colourLayout->addWidget(SelectColorButtonMF);
    colourLayout->addStretch();
    panel->addWidget(colour, 1, 0);

    auto* font = new QGroupBox("文字列フォント");
    auto* fontLayout = new QHBoxLayout(font);
    fontLayout->setContentsMargins(8, 4, 8, 4);
    SpeedButtonMFFont = new FontButton;
    SpeedButtonMFFont->setCaption("1024 * 768");
    SpeedButtonMFFont->SetFont(shippedFont(-11));
    fontLayout->addWidget(SpeedButtonMFFont);
    fontLayout->addWidget(label("(ボタン上の文字は実物大)"));
    fontLayout->addStretch();
    panel->addWidget(font, 1, 1);

    CoupleLabelNowSize = new TCoupleLabel;
    CoupleLabelNowSize->SetCaption("現在の画面サイズ：　");
    CoupleLabelNowSize->SetFontColor(QColor(0, 128, 0));
    CoupleLabelNowSize->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    panel->addWidget(CoupleLabelNowSize, 2, 0, 1, 2);
    panel->setRowStretch(3, 1);

    layout->addWidget(PanelExMonitorFrame, 1);
    return page;
}

QWidget* TFormMain::createSysInfoPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(4);
    struct Line {
        QCheckBox*& check;
        const char* caption;
        TPanelEx*& panel;
        QLineEdit*& labelField;
        const char* labelText;
        QLineEdit*& value;
        FontButton*& font;
        TEditUpDown*& left;
        TEditUpDown*& top;
        QToolButton*& pick;
        int left0;
        int top0;
    };
    Line lines[] = {
        {CheckBoxSIUser, "ログインユーザ名を描画する", PanelExSIUser, EditSIUserLabel,
         "ログインユーザ名：", EditSIUser, SpeedButtonSIUserFont, EditUpDownSIUserLeft,
         EditUpDownSIUserTop, SpeedButtonSIUserPos, 810, 610},
        {CheckBoxSIComp, "コンピュータ名を描画する", PanelExSIComp, EditSICompLabel,
         "コンピュータ名　：", EditSIComp, SpeedButtonSICompFont, EditUpDownSICompLeft,
         EditUpDownSICompTop, SpeedButtonSICompPos, 810, 630},
        {CheckBoxSIIPAddr, "ＩＰアドレスを描画する", PanelExSIIPAddr, EditSIIPAddrLabel,
         "ＩＰアドレス　　：", EditSIIPAddr, SpeedButtonSIIPAddrFont, EditUpDownSIIPAddrLeft,
         EditUpDownSIIPAddrTop, SpeedButtonSIIPAddrPos, 810, 650},
    };
    for (auto& line : lines) {
        auto* box = new QGroupBox;
        auto* boxLayout = new QVBoxLayout(box);
        boxLayout->setContentsMargins(6, 4, 6, 4);
        line.check = new QCheckBox(QString::fromUtf8(line.caption));
        line.check->setChecked(true);
        boxLayout->addWidget(line.check);
        line.panel = new TPanelEx;
        auto* grid = new QGridLayout(line.panel);
        grid->setContentsMargins(16, 0, 0, 0);
        grid->setVerticalSpacing(2);
        line.labelField = new QLineEdit(QString::fromUtf8(line.labelText));
        line.value = new QLineEdit;
        line.value->setReadOnly(true);
        line.value->setBackgroundRole(QPalette::Button);
        line.font = new FontButton;
        line.font->SetFont(shippedFont(-12));
        line.font->setToolTip("フォント選択");
        line.left = numberField();
        line.top = numberField();
        line.pick = glyphButton(QStyle::SP_ArrowRight, "画面上で位置を指定");
        auto* position = new QHBoxLayout;
        position->addWidget(label("座標(X, Y)"));
        position->addWidget(line.left);
        position->addWidget(line.top);
        position->addWidget(line.pick);
        position->addStretch();
        grid->addWidget(line.labelField, 0, 0);
        grid->addWidget(line.value, 0, 1);
        grid->addWidget(line.font, 0, 2);
        grid->addLayout(position, 1, 0, 1, 3);
        grid->setColumnStretch(0, 1);
        grid->setColumnStretch(1, 1);
        boxLayout->addWidget(line.panel);
        layout->addWidget(box);
    }
    layout->addStretch();
    return page;
}

QWidget* TFormMain::createFreePage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    CheckBoxFreeMessage = new QCheckBox("任意の文字列（複数行可）を描画する");
    layout->addWidget(CheckBoxFreeMessage);

    PanelExFreeMessage = new TPanelEx;
    auto* panel = new QVBoxLayout(PanelExFreeMessage);
    panel->setContentsMargins(0, 0, 0, 0);
    RadioButtonFMFile = new QRadioButton("ファイルの内容を描画する");
    panel->addWidget(RadioButtonFMFile);
    PanelExFMFile = new TPanelEx;
    auto* file = new QHBoxLayout(PanelExFMFile);
    file->setContentsMargins(16, 0, 0, 0);
    EditFMFile = new QLineEdit;
    SpeedButtonFMFileOpen = glyphButton(QStyle::SP_DirOpenIcon, "ファイルを選択");
    file->addWidget(EditFMFile, 1);
    file->addWidget(SpeedButtonFMFileOpen);
    panel->addWidget(PanelExFMFile);

    RadioButtonFMInput = new QRadioButton("直接入力する");
    RadioButtonFMInput->setChecked(true);
    panel->addWidget(RadioButtonFMInput);
    MemoFMInput = new QPlainTextEdit;
    MemoFMInput->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoFMInput->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoFMInput->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* memo = new QHBoxLayout;
    memo->setContentsMargins(16, 0, 0, 0);
    memo->addWidget(MemoFMInput);
    panel->addLayout(memo, 1);

    PanelExFM = new TPanelEx;
    auto* options = new QHBoxLayout(PanelExFM);
    options->setContentsMargins(0, 4, 0, 0);
    EditUpDownFMLineInterval = numberField(44);
    SpeedButtonFMFont = new FontButton;
    SpeedButtonFMFont->SetFont(shippedFont(-12));
    SpeedButtonFMFont->setToolTip("フォント選択");
    EditUpDownFMLeft = numberField();
    EditUpDownFMTop = numberField();
    SpeedButtonFMPos = glyphButton(QStyle::SP_ArrowRight, "画面上で位置を指定");
    options->addWidget(label("行間"));
    options->addWidget(EditUpDownFMLineInterval);
    options->addSpacing(8);
    options->addWidget(label("フォント選択"));
    options->addWidget(SpeedButtonFMFont);
    options->addSpacing(8);
    options->addWidget(label("座標(X, Y)"));
    options->addWidget(EditUpDownFMLeft);
    options->addWidget(EditUpDownFMTop);
    options->addWidget(SpeedButtonFMPos);
    options->addStretch();
    panel->addWidget(PanelExFM);

    layout->addWidget(PanelExFreeMessage, 1);
    return page;
}

QWidget* TFormMain::createAppExecPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label("チェックをONにしたアプリケーションを上から順に起動します"));
    struct Group {
        const char* caption;
        QListWidget*& list;
        QToolButton*& add;
        QToolButton*& del;
        QToolButton*& upd;
        QToolButton*& up;
        QToolButton*& down;
        int tag;
    };
    Group groups[] = {
        {"描画前に起動するアプリケーション", CheckListBoxAEBef, SpeedButtonAEBAdd,
         SpeedButtonAEBDel, SpeedButtonAEBUpd, SpeedButtonAEBUp, SpeedButtonAEBDown, 0},
        {"描画後に起動するアプリケーション", CheckListBoxAEAft, SpeedButtonAEAAdd,
         SpeedButtonAEADel, SpeedButtonAEAUpd, SpeedButtonAEAUp, SpeedButtonAEADown, 1},
    };
    for (auto& group : groups) {
        auto* box = new QGroupBox(QString::fromUtf8(group.caption));
        auto* boxLayout = new QHBoxLayout(box);
        group.list = checkList();
        auto* buttons = new QVBoxLayout;
        group.add = speedButton("追加");
        group.del = speedButton("削除");
        group.upd = speedButton("編集");
        group.up = glyphButton(QStyle::SP_ArrowUp, "上に移動");
        group.down = glyphButton(QStyle::SP_ArrowDown, "下に移動");
        for (QToolButton* button : {group.add, group.del, group.upd}) {
            button->setMinimumWidth(48);
            buttons->addWidget(button);
        }
        auto* arrows = new QHBoxLayout;
        arrows->addWidget(group.up);
        arrows->addWidget(group.down);
        buttons->addLayout(arrows);
        buttons->addStretch();
        for (QObject* object : std::initializer_list<QObject*>{group.list, group.add, group.del,
                                                               group.upd, group.up, group.down})
            setTag(object, group.tag);
        boxLayout->addWidget(group.list, 1);
        boxLayout->addLayout(buttons);
        layout->addWidget(box, 1);
    }
    return page;
}

QWidget* TFormMain::createVersionPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    GradBoxVersion = new TGradBox;
    GradBoxVersion->SetTopColor(kSystemColorBase + 15); // button face
    GradBoxVersion->SetLastColor(kColorWhite);
    GradBoxVersion->SetDrawOutLine(false);
    GradBoxVersion->SetFont(pixelFont("MT たれっぴ", 96, true, true));
    GradBoxVersion->SetFontColor(0x0000FF);
    GradBoxVersion->SetFont3D(true);
    GradBoxVersion->SetStyle3D(fsLowShadow);
    GradBoxVersion->SetFontDepth(5);
    GradBoxVersion->SetBackFont(kColorWhite);
    layout->addWidget(GradBoxVersion);

    auto* content = new QGridLayout(GradBoxVersion);
    content->setContentsMargins(16, 16, 16, 16);
    ImageZorbel = new QLabel;
    ImageZorbel->setPixmap(zorbelImage());
    LabelTitle = new QLabel("Paneglyph");
    LabelTitle->setFont(pixelFont("serif", 64, true, true));
    LabelTitle->setStyleSheet("color: blue; background: transparent;");
    LabelVersion = new QLabel("Ver.1.02");
    LabelVersion->setFont(pixelFont("ＭＳ Ｐゴシック", 24, true));
    LabelVersion->setAlignment(Qt::AlignCenter);
    ImageIcon = new QLabel;
    ImageIcon->setPixmap(programIcon());
    ImageIcon->setFixedSize(32, 32);
    LabelWindows = new QLabel("for Windows98/NT/2000");
    LabelWindows->setStyleSheet("color: red; background: transparent;");
    content->addWidget(LabelTitle, 0, 0, 1, 3, Qt::AlignCenter);
    content->addWidget(ImageZorbel, 1, 0, 2, 1);
    content->addWidget(LabelVersion, 1, 1, 1, 2);
    content->addWidget(ImageIcon, 2, 1, Qt::AlignRight);
    content->addWidget(LabelWindows, 2, 2);
    content->setRowStretch(3, 1);
    content->setColumnStretch(2, 1);
    return page;
}

QWidget* TFormMain::createButtonRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    ButtonDraw = new QPushButton("試しに描画");
    ButtonWallpaperDraw = new QPushButton("元に戻す");
    SpeedButtonHelp = new QToolButton;
    SpeedButtonHelp->setIcon(helpGlyph());
    SpeedButtonHelp->setToolTip("ヘルプ");
    ButtonOK = new QPushButton("OK");
    ButtonOK->setDefault(true);
    ButtonCancel = new QPushButton("キャンセル");
    ButtonSave = new QPushButton("適用(&A)");
    ButtonSave->setEnabled(false);
    layout->addWidget(ButtonDraw);
    layout->addWidget(ButtonWallpaperDraw);
    layout->addWidget(SpeedButtonHelp);
    layout->addStretch();
    layout->addWidget(ButtonOK);
    layout->addWidget(ButtonCancel);
    layout->addWidget(ButtonSave);
    return row;
}

void TFormMain::createTemplates() {
    SelectColorButtonMFB = new TSelectColorButton(this);
    SelectColorButtonMFB->SetColor(kColorWhite);
    SelectColorButtonMFB->hide();
    SpeedButtonMFFontB = new FontButton(this);
    SpeedButtonMFFontB->SetFont(shippedFont(-11));
    SpeedButtonMFFontB->hide();
    SpeedButtonSIB = new FontButton(this);
    SpeedButtonSIB->SetFont(shippedFont(-12));
    SpeedButtonSIB->hide();
    SpeedButtonFMFontB = new FontButton(this);
    SpeedButtonFMFontB->SetFont(shippedFont(-12));
    SpeedButtonFMFontB->hide();
}

void TFormMain::createHiddenLists() {
    ListBoxDrawSeqStream = shippedDrawSequence();
    showDrawSequence();

    ListBoxWPStat = hiddenList("ListBoxWPStat", 0, 16, 16, 121, 97, 1);
    ListBoxWPFile = hiddenList("ListBoxWPFile", 0, 144, 16, 121, 97, 2);

    const std::array<const char*, 10> fields{"Stat",     "Cmd",        "CmdParam", "TmpDir",
                                             "STNormal", "STMin",      "STMax",    "WTWait",
                                             "WTNoWait", "WTNoWaitSec"};
    const std::array<std::array<ListControlDescription*, 10>, 2> lists{{
        {&ListBoxAEBStat, &ListBoxAEBCmd, &ListBoxAEBCmdParam, &ListBoxAEBTmpDir,
         &ListBoxAEBSTNormal, &ListBoxAEBSTMin, &ListBoxAEBSTMax, &ListBoxAEBWTWait,
         &ListBoxAEBWTNoWait, &ListBoxAEBWTNoWaitSec},
        {&ListBoxAEAStat, &ListBoxAEACmd, &ListBoxAEACmdParam, &ListBoxAEATmpDir,
         &ListBoxAEASTNormal, &ListBoxAEASTMin, &ListBoxAEASTMax, &ListBoxAEAWTWait,
         &ListBoxAEAWTNoWait, &ListBoxAEAWTNoWaitSec},
    }};
    for (std::size_t column = 0; column < 2; ++column) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const std::string name =
                std::string(column == 0 ? "ListBoxAEB" : "ListBoxAEA") + fields[i];
            // The layout of the design: two rows of five, 48 pixels apart. The last three
            // lists of the after group carry Tag 0, as the design has them.
            const int tag = column == 1 && i < 7 ? 1 : 0;
            const int left = 24 + 48 * static_cast<int>(i % 5);
            const int top = i < 5 ? 32 : 72;
            *lists[column][i] =
                hiddenList(name.c_str(), tag, left, top, 41, 33, static_cast<int>(i) + 1);
        }
    }
}

void TFormMain::fillAppExecControls() {
    FAppExecControls[0] = {CheckListBoxAEBef,
                           {&ListBoxAEBStat, &ListBoxAEBCmd, &ListBoxAEBCmdParam, &ListBoxAEBTmpDir,
                            &ListBoxAEBSTNormal, &ListBoxAEBSTMin, &ListBoxAEBSTMax,
                            &ListBoxAEBWTWait, &ListBoxAEBWTNoWait, &ListBoxAEBWTNoWaitSec},
                           SpeedButtonAEBAdd,
                           SpeedButtonAEBDel,
                           SpeedButtonAEBUpd,
                           SpeedButtonAEBUp,
                           SpeedButtonAEBDown};
    FAppExecControls[1] = {CheckListBoxAEAft,
                           {&ListBoxAEAStat, &ListBoxAEACmd, &ListBoxAEACmdParam, &ListBoxAEATmpDir,
                            &ListBoxAEASTNormal, &ListBoxAEASTMin, &ListBoxAEASTMax,
                            &ListBoxAEAWTWait, &ListBoxAEAWTNoWait, &ListBoxAEAWTNoWaitSec},
                           SpeedButtonAEAAdd,
                           SpeedButtonAEADel,
                           SpeedButtonAEAUpd,
                           SpeedButtonAEAUp,
                           SpeedButtonAEADown};
}

} // namespace zbpg
