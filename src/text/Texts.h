#pragma once

// The program's own texts: its name and file names, every message it shows, and the captions
// that stand in more than one place. Messages with "%s" take one argument (formatMessage).

namespace zbpg::texts {

// ---- the program and its files ----
inline constexpr const char* kProgramName = "ZorbelPaneglyph";
inline constexpr const char* kDrawingTitle = "描画中 - ZorbelPaneglyph";
inline constexpr const char* kOnlyDrawOption = "-OnlyDraw";
// The name the desktop knows the program by: its menu entry, icon and metadata.
inline constexpr const char* kApplicationId = "org.zorbelpaneglyph.zorbelpaneglyph";
inline constexpr const char* kWatchOption = "-Watch";
inline constexpr const char* kWatchLockPrefix = "ZorbelPaneglyph-watch-";
inline constexpr const char* kIniExtension = ".ini";
inline constexpr const char* kTmpBitmapFileName = "ZorbelPaneglyphTmp.bmp";
inline constexpr const char* kWallpaperBitmapFileName = "ZorbelPaneglyph.bmp";
inline constexpr const char* kHelpPage = "help/index.html";
inline constexpr const char* kKeptPictureName = "desktop.png";
inline constexpr const char* kAdoptedWallpaperName = "wallpaper.png";

// ---- the items of the draw sequence, as stored and shown (also the captions of their pages) ----
inline constexpr const char* kScreenSizeItem = "画面サイズ";
inline constexpr const char* kSystemInfoItem = "システム情報";
inline constexpr const char* kFreeMessageItem = "任意表示";

// ---- the shipped labels of the system-information lines (U+3000 pads them to nine characters)
// ----
inline constexpr const char* kUserLabel = "ログインユーザ名：";
inline constexpr const char* kComputerLabel = "コンピュータ名　：";
inline constexpr const char* kIPAddressLabel = "ＩＰアドレス　　：";

// ---- errors that end an operation ----
inline constexpr const char* kNotAnInteger = "'%s' は整数ではありません";
inline constexpr const char* kCannotOpenFile = "ファイル %s は開けません";
inline constexpr const char* kCannotCreateFile = "ファイル %s を作成できません";
inline constexpr const char* kCannotShowWallpaper = "ファイル %s を壁紙に表示できません";
inline constexpr const char* kCannotWrite = "%s に書き込めません";
inline constexpr const char* kCannotSetValue = "'%s' の設定に失敗しました";
inline constexpr const char* kWrongValueType = "'%s' のデータ型が不正です";
inline constexpr const char* kListIndexOutOfRange = "リストのインデックスが範囲を超えています (%s)";
// Added to a message about a stored value: the key that held it, as "[Section] Key".
inline constexpr const char* kAtSettingsKey = " (%s)";
inline constexpr const char* kCannotOpenHelp = "ヘルプ %s を開けません";
inline constexpr const char* kHookTargetUnknown = "フック先を特定できません。";
inline constexpr const char* kBadBitmap = "ビットマップイメージが不正です";
// Takes the decoder's message number in place of "%d".
inline constexpr const char* kJpegError = "JPEG エラー #%d";
// Added to a message about a picture's content: the file that held it.
inline constexpr const char* kInPictureFile = " (%s)";

// ---- the settings manager's own messages (dialog titled kErrorCaption) ----
inline constexpr const char* kErrorCaption = "エラー";
inline constexpr const char* kItemInvalid = "[' %s '] is invalid.";
inline constexpr const char* kCannotCreateIniFile = "can not create Inifile object.";
inline constexpr const char* kCannotCreateRegistry = "can not create Registry object.";

// ---- the command line's answers on standard output ----
inline constexpr const char* kHelpOption = "--help";
inline constexpr const char* kVersionOption = "--version";
// Takes the version number.
inline constexpr const char* kVersionLine = "ZorbelPaneglyph %s\n";
// --help prints the first in a Japanese locale, else the second.
inline constexpr const char* kUsageJapanese =
    "使い方: ZorbelPaneglyph [-OnlyDraw | -Watch | --help | --version]\n"
    "\n"
    "引数なしで起動すると設定画面を表示します。\n"
    "  -OnlyDraw   保存した設定で一度だけ描画して終了します (ログオン時の実行)\n"
    "  -Watch      一度描画した後も常駐し、IP アドレス・コンピュータ名・画面・壁紙が\n"
    "              変わると描き直します\n"
    "  --help      この使い方を表示して終了します\n"
    "  --version   バージョンを表示して終了します\n"
    "\n"
    "詳しくは man ZorbelPaneglyph を参照してください。\n";
inline constexpr const char* kUsageEnglish =
    "Usage: ZorbelPaneglyph [-OnlyDraw | -Watch | --help | --version]\n"
    "\n"
    "Without an argument it shows the settings window.\n"
    "  -OnlyDraw   draws once with the stored settings and exits (the logon run)\n"
    "  -Watch      draws once, then stays and redraws when the IP address, the computer\n"
    "              name, the screen or the wallpaper changes\n"
    "  --help      shows this usage and exits\n"
    "  --version   shows the version and exits\n"
    "\n"
    "See man ZorbelPaneglyph for more.\n";

// ---- messages ----
inline constexpr const char* kWrongStartOption = "起動オプションが違います。";
inline constexpr const char* kNeedsDisplay =
    "設定画面を表示するにはディスプレイ (X11 または Wayland) が必要です。";
// Takes the displays the session names ("wayland-1, :0").
inline constexpr const char* kDisplayUnreachable = "ディスプレイ %s に接続できません。";
inline constexpr const char* kCannotShowOnDisplay = "ディスプレイ %s に表示できません。";
inline constexpr const char* kResetQuestion =
    "各設定内容をインストール時の状態に戻します。\rよろしいですか？";
inline constexpr const char* kStartUpRegistered =
    "『ZorbelPaneglyph』をスタートアップに登録しました。";
inline constexpr const char* kStartUpRemoved =
    "『ZorbelPaneglyph』をスタートアップから削除しました。";
inline constexpr const char* kStartUpNotRegistered =
    "『ZorbelPaneglyph』をスタートアップに登録できませんでした。";
inline constexpr const char* kCommandRequired = "起動コマンドの設定は必須です。";

// ---- the watch ("-Watch"), told on standard error, the session's log ----
inline constexpr const char* kWatchAlreadyRunning =
    "このログインセッションでは -Watch がすでに動いています。";
inline constexpr const char* kWatchStarted = "描いた値の変化を見張っています。";
// Takes the names of what changed, joined by "、".
inline constexpr const char* kWatchRedrawn = "%s が変わったので描き直しました。";
// Takes the name of what cannot be watched.
inline constexpr const char* kWatchCannotWatch = "%s の変化は見張れません。";
// The values a drawing shows, as the watch names them.
inline constexpr const char* kDrawnUser = "ログインユーザ名";
inline constexpr const char* kDrawnComputer = "コンピュータ名";
inline constexpr const char* kDrawnAddress = "IP アドレス";
inline constexpr const char* kDrawnScreen = "画面";
inline constexpr const char* kDrawnWallpaper = "壁紙";

// ---- captions used in more than one place ----
inline constexpr const char* kRegisterCaption = "登録";
inline constexpr const char* kUnregisterCaption = "解除";
inline constexpr const char* kChooseFileTitle = "ファイルを選択してください";
inline constexpr const char* kAllFilesFilter = "すべてのファイル(*.*)|*.*";
inline constexpr const char* kChooseFont = "フォント選択";
inline constexpr const char* kPosition = "座標(X, Y)";
inline constexpr const char* kPickOnScreen = "画面上で位置を指定";
inline constexpr const char* kMoveUp = "上に移動";
inline constexpr const char* kMoveDown = "下に移動";
inline constexpr const char* kSecondsWait = "秒待つ";
inline constexpr const char* kOkCaption = "OK";
inline constexpr const char* kCancelCaption = "キャンセル";
// The command chooser of the entry editor writes its filter with a space before the pattern.
inline constexpr const char* kCommandFilter = "すべてのファイル (*.*)|*.*";

// ---- the desktop's own wallpaper ----
// The pictures shown on a desktop that paints its own background, in the cache folder:
// "desktop-<session>-<stamp>.png".
inline constexpr const char* kShownPicturePrefix = "desktop-";
inline constexpr const char* kShownPictureExtension = ".png";
// Told on standard error when the session's desktop cannot be reached.
inline constexpr const char* kDesktopUnreachable =
    "このセッションのデスクトップ (%s) の壁紙設定を使えません。";
inline constexpr const char* kWallpaperShownThrough = "壁紙は %s で表示します。";
inline constexpr const char* kRootWindowName = "X のルートウィンドウ";
inline constexpr const char* kNoDesktopForWallpaper = "壁紙を表示できるデスクトップがありません";

} // namespace zbpg::texts
