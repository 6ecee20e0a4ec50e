// The settings dialog's caption, read by its resource and by the start-up
// lookup that lets only one settings dialog open. A plain #define in UTF-8,
// so the resource compiler reads it too; C++ writes it as L"" ZOR_SETTINGS_CAPTION.
#pragma once

#define ZOR_SETTINGS_CAPTION "ZORANTE スクリーンセーバーの設定"
