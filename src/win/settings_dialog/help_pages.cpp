#include "win/settings_dialog/help_pages.h"

#include "win/options/display_options_dialog_ids.h"
#include "win/options/font_chooser_ids.h"
#include "win/options/font_date_options_dialog_ids.h"
#include "win/options/image_options_dialog_ids.h"
#include "win/options/import_option_dialog_ids.h"
#include "win/options/picture_folder_chooser_ids.h"
#include "win/options/picture_viewer_ids.h"
#include "win/options/version_box_ids.h"
#include "win/settings_dialog/line_format_dialog_ids.h"
#include "win/settings_dialog/message_entry_dialog_ids.h"

namespace zor::win {

std::wstring_view HelpPageOf(int templateId) {
  switch (templateId) {
    case IDD_MESSAGE_ENTRY: return L"entry.html";
    case IDD_LINE_FORMAT: return L"format.html";
    case IDD_DISPLAY_OPTIONS: return L"options.html";
    case IDD_IMAGE_OPTIONS: return L"images.html";
    case IDD_PICTURE_FOLDER_CHOOSER: return L"images.html#chooser";
    case IDD_PICTURE_VIEWER: return L"images.html#viewer";
    case IDD_FONT_DATE_OPTIONS: return L"font.html";
    case IDD_FONT_CHOOSER: return L"font.html#fontsel";
    case IDD_IMPORT_OPTION: return L"files.html#import-option";
    case IDD_VERSION_BOX: return L"about.html";
    default: return L"settings.html";
  }
}

}  // namespace zor::win
