// The wizard's resource tables: templates in both languages, string tables,
// pictures, and their registration with the framework.
#include "wizard/resources/wizard_resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "framework/control_defs.h"
#include "framework/dialog_template.h"
#include "framework/message_box.h"
#include "framework/resources.h"
#include "framework/styles.h"
#include "kernel/version.h"
#include "wizard/resources/pixel_font.h"
#include "wizard/resources/resource_ids.h"

namespace {

using vek::framework::BitmapResource;
using vek::framework::DialogItemTemplate;
using vek::framework::DialogTemplate;
using vek::framework::StringResource;
using vek::wizard::WizardDialogs;
using vek::wizard::WizardPictures;
using vek::wizard::WizardStrings;

constexpr WORD kLanguages[] = {LANG_ENGLISH, LANG_JAPANESE};

// The thirteen pages with their title banner and side picture.
struct PageInfo {
  int dialog;
  int title;
  int side;
};
constexpr PageInfo kPages[] = {
    {129, 162, 146}, {131, 161, 150}, {160, 163, 151}, {181, 182, 187}, {185, 184, 187},
    {187, 189, 187}, {188, 190, 187}, {107, 191, 187}, {138, 164, 186}, {142, 165, 154},
    {139, 166, 152}, {141, 168, 153}, {148, 169, 155},
};
constexpr int kOtherDialogs[] = {IDD_SEARCH, IDD_ADD_PRINTER_GUIDE};

const DialogTemplate* Dialog(WORD language, int id) {
  for (const DialogTemplate& d : WizardDialogs(language))
    if (static_cast<int>(d.id) == id) return &d;
  return nullptr;
}

std::vector<const DialogItemTemplate*> ItemsWithId(const DialogTemplate& d, int id) {
  std::vector<const DialogItemTemplate*> found;
  for (std::size_t i = 0; i < d.itemCount; ++i)
    if (d.items[i].id == id) found.push_back(&d.items[i]);
  return found;
}

const DialogItemTemplate* Item(const DialogTemplate& d, int id) {
  auto found = ItemsWithId(d, id);
  return found.size() == 1 ? found[0] : nullptr;
}

bool IsClass(const DialogItemTemplate& item, const char* name) { return std::strcmp(item.className, name) == 0; }

// What a control is, from its class and style, the way a dialog editor names it.
std::string KindOf(const DialogItemTemplate& item) {
  if (IsClass(item, WC_STATIC)) {
    switch (item.style & SS_TYPEMASK) {
      case SS_BITMAP:
        return "bitmap";
      case SS_BLACKFRAME:
        return "frame";
      default:
        return "static";
    }
  }
  if (IsClass(item, WC_BUTTON)) {
    switch (item.style & BS_TYPEMASK) {
      case BS_PUSHBUTTON:
        return "push";
      case BS_DEFPUSHBUTTON:
        return "defpush";
      case BS_AUTOCHECKBOX:
      case BS_CHECKBOX:
        return "check";
      case BS_AUTORADIOBUTTON:
      case BS_RADIOBUTTON:
        return "radio";
      case BS_GROUPBOX:
        return "group";
      default:
        return "button?";
    }
  }
  if (IsClass(item, WC_EDIT)) {
    if (item.style & ES_READONLY) return "readonly";
    return (item.style & ES_PASSWORD) ? "password" : "edit";
  }
  if (IsClass(item, WC_COMBOBOX)) return (item.style & 0x3) == CBS_DROPDOWNLIST ? "droplist" : "combo?";
  if (IsClass(item, WC_LISTVIEW)) return (item.style & LVS_TYPEMASK) == LVS_REPORT ? "report" : "list?";
  if (IsClass(item, WC_IPADDRESS)) return "ip";
  if (IsClass(item, PROGRESS_CLASS)) return "progress";
  if (IsClass(item, ANIMATE_CLASS)) return "animation";
  return std::string("unknown:") + item.className;
}

bool ValidUtf8(const char* text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    int extra = *p < 0x80 ? 0 : (*p >> 5) == 0x6 ? 1 : (*p >> 4) == 0xE ? 2 : (*p >> 3) == 0x1E ? 3 : -1;
    if (extra < 0) return false;
    ++p;
    for (int i = 0; i < extra; ++i, ++p)
      if ((*p & 0xC0) != 0x80) return false;
  }
  return true;
}

bool Ascii(const char* text) {
  for (const char* p = text; *p; ++p)
    if (static_cast<unsigned char>(*p) >= 0x80) return false;
  return true;
}

// ---------------------------------------------------------------------------
// Templates
// ---------------------------------------------------------------------------

TEST(WizardDialogs, EveryDialogExistsInBothLanguages) {
  std::set<int> expected(std::begin(kOtherDialogs), std::end(kOtherDialogs));
  for (const PageInfo& page : kPages) expected.insert(page.dialog);
  for (WORD language : kLanguages) {
    EXPECT_EQ(vek::wizard::WizardDialogProblem(language), "") << "language " << language;
    std::set<int> ids;
    for (const DialogTemplate& d : WizardDialogs(language)) {
      EXPECT_TRUE(ids.insert(static_cast<int>(d.id)).second) << "dialog " << d.id << " twice";
      EXPECT_EQ(d.language, language) << "dialog " << d.id;
    }
    EXPECT_EQ(ids, expected) << "language " << language;
  }
  EXPECT_TRUE(WizardDialogs(0x0C).empty());
}

TEST(WizardDialogs, BothLanguagesHaveTheSameControls) {
  for (const DialogTemplate& english : WizardDialogs(LANG_ENGLISH)) {
    const DialogTemplate* japanese = Dialog(LANG_JAPANESE, static_cast<int>(english.id));
    ASSERT_NE(japanese, nullptr) << english.id;
    EXPECT_EQ(japanese->cx, english.cx) << english.id;
    EXPECT_EQ(japanese->cy, english.cy) << english.id;
    EXPECT_EQ(japanese->style, english.style) << english.id;
    EXPECT_EQ(japanese->exStyle, english.exStyle) << english.id;
    ASSERT_EQ(japanese->itemCount, english.itemCount) << english.id;
    for (std::size_t i = 0; i < english.itemCount; ++i) {
      const DialogItemTemplate& e = english.items[i];
      const DialogItemTemplate& j = japanese->items[i];
      SCOPED_TRACE("dialog " + std::to_string(english.id) + " control " + std::to_string(e.id));
      EXPECT_EQ(j.id, e.id);
      EXPECT_STREQ(j.className, e.className);
      EXPECT_EQ(KindOf(j), KindOf(e));
      EXPECT_EQ(j.style, e.style);
      EXPECT_EQ(j.exStyle, e.exStyle);
      EXPECT_EQ(j.imageId, e.imageId);
      EXPECT_EQ(std::strlen(j.text) == 0, std::strlen(e.text) == 0);
    }
  }
}

TEST(WizardDialogs, PagesShareTheWizardFrame) {
  for (WORD language : kLanguages)
    for (const PageInfo& page : kPages) {
      SCOPED_TRACE("language " + std::to_string(language) + " page " + std::to_string(page.dialog));
      const DialogTemplate* d = Dialog(language, page.dialog);
      ASSERT_NE(d, nullptr);
      EXPECT_EQ(d->cx, 400);
      EXPECT_EQ(d->cy, 300);
      EXPECT_STREQ(d->fontName, "System");
      EXPECT_EQ(d->fontSize, 10);
      EXPECT_STREQ(d->caption, "VEK Setup Wizard");
      EXPECT_TRUE(d->style & WS_CHILD);
      EXPECT_TRUE(d->style & DS_SETFONT);

      const DialogItemTemplate* banner = Item(*d, IDC_TITLE_BANNER);
      ASSERT_NE(banner, nullptr) << "one banner static";
      EXPECT_STREQ(banner->className, WC_STATIC);
      EXPECT_EQ(banner->style & SS_TYPEMASK, SS_BITMAP);
      EXPECT_TRUE(banner->style & WS_VISIBLE);
      EXPECT_EQ(static_cast<int>(banner->imageId), page.title);

      const DialogItemTemplate* frame = Item(*d, IDC_SIDE_FRAME);
      ASSERT_NE(frame, nullptr) << "one side frame";
      EXPECT_STREQ(frame->className, WC_STATIC);
      EXPECT_EQ(frame->style & SS_TYPEMASK, SS_BLACKFRAME);
      EXPECT_FALSE(frame->style & WS_VISIBLE);
      EXPECT_LT(frame->x, 20);
      EXPECT_EQ(frame->cx, 92);
      EXPECT_GE(frame->cy, 284);
      EXPECT_LE(frame->cy, 286);

      // Everything else stays right of the side picture, which covers pixels 12..152.
      for (std::size_t i = 0; i < d->itemCount; ++i) {
        const DialogItemTemplate& item = d->items[i];
        if (item.id == IDC_SIDE_FRAME) continue;
        EXPECT_GE(item.x * 6 / 4, 152) << "control " << item.id << " over the side picture";
      }
    }
}

TEST(WizardDialogs, ControlsLieInsideTheirDialog) {
  for (WORD language : kLanguages)
    for (const DialogTemplate& d : WizardDialogs(language))
      for (std::size_t i = 0; i < d.itemCount; ++i) {
        const DialogItemTemplate& item = d.items[i];
        SCOPED_TRACE("language " + std::to_string(language) + " dialog " + std::to_string(d.id) + " control " +
                     std::to_string(item.id));
        // A drop-down list's height is that of its open list, which may hang below the dialog.
        int height = IsClass(item, WC_COMBOBOX) ? 14 : item.cy;
        EXPECT_GE(item.x, 0);
        EXPECT_GE(item.y, 0);
        EXPECT_GT(item.cx, 0);
        EXPECT_GT(item.cy, 0);
        EXPECT_LE(item.x + item.cx, d.cx);
        EXPECT_LE(item.y + height, d.cy);
      }
}

TEST(WizardDialogs, ControlStylesAreThoseOfADialogEditor) {
  // The only controls that start hidden.
  const std::set<std::pair<int, int>> hidden = {{IDD_SEARCH, IDOK},
                                                {IDD_SEARCH, IDCANCEL},
                                                {IDD_WIZARD_SAVE, IDC_SAVE_STATUS},
                                                {IDD_WIZARD_SAVE, IDC_SAVE_PROGRESS}};
  for (WORD language : kLanguages)
    for (const DialogTemplate& d : WizardDialogs(language)) {
      bool afterRadio = false;
      for (std::size_t i = 0; i < d.itemCount; ++i) {
        const DialogItemTemplate& item = d.items[i];
        SCOPED_TRACE("language " + std::to_string(language) + " dialog " + std::to_string(d.id) + " control " +
                     std::to_string(item.id));
        std::string kind = KindOf(item);
        EXPECT_EQ(kind.find('?'), std::string::npos) << kind;
        EXPECT_EQ(kind.find("unknown"), std::string::npos) << kind;
        EXPECT_TRUE(item.style & WS_CHILD);
        bool shouldHide = item.id == IDC_SIDE_FRAME || hidden.count({static_cast<int>(d.id), item.id});
        EXPECT_EQ((item.style & WS_VISIBLE) == 0, shouldHide);
        if (kind == "bitmap") {
          EXPECT_NE(item.imageId, 0u);
        }
        if (kind != "bitmap") {
          EXPECT_EQ(item.imageId, 0u);
        }
        if (kind == "edit" || kind == "password" || kind == "droplist" || kind == "push" || kind == "defpush" ||
            kind == "check" || kind == "report" || kind == "ip") {
          EXPECT_TRUE((item.style & WS_TABSTOP) || item.id == IDC_WEP_KEY128) << kind;
        }
        if (kind == "droplist") {
          EXPECT_FALSE(item.style & CBS_SORT) << "item order matters";
        }
        bool radio = kind == "radio";
        if (radio && !afterRadio) {
          EXPECT_TRUE(item.style & WS_GROUP) << "first radio of a group";
          EXPECT_TRUE(item.style & WS_TABSTOP) << "first radio of a group";
        }
        if (!radio && afterRadio) {
          EXPECT_TRUE(item.style & WS_GROUP) << "control after a radio group";
        }
        afterRadio = radio;
      }
    }
}

TEST(WizardDialogs, RadioGroupsAreSeparate) {
  // 64-bit / 128-bit and Alphanumeric / Hexadecimal are two groups of two.
  for (WORD language : kLanguages) {
    const DialogTemplate* wep = Dialog(language, IDD_WIZARD_WL_WEP);
    ASSERT_NE(wep, nullptr);
    EXPECT_TRUE(Item(*wep, IDC_KEY_64BIT)->style & WS_GROUP);
    EXPECT_FALSE(Item(*wep, IDC_KEY_128BIT)->style & WS_GROUP);
    EXPECT_TRUE(Item(*wep, IDC_KEY_ALPHANUMERIC)->style & WS_GROUP);
    EXPECT_FALSE(Item(*wep, IDC_KEY_HEXADECIMAL)->style & WS_GROUP);
    const DialogTemplate* login = Dialog(language, IDD_WIZARD_LOGIN);
    ASSERT_NE(login, nullptr);
    EXPECT_TRUE(Item(*login, IDC_MODIFY_YES)->style & WS_GROUP);
    EXPECT_FALSE(Item(*login, IDC_MODIFY_NO)->style & WS_GROUP);
    const DialogTemplate* tcpip = Dialog(language, IDD_WIZARD_TCPIP);
    ASSERT_NE(tcpip, nullptr);
    EXPECT_TRUE(Item(*tcpip, IDC_DHCP1)->style & WS_GROUP);
    EXPECT_FALSE(Item(*tcpip, IDC_DHCP2)->style & WS_GROUP);
  }
}

// The controls each template must have: id and kind.
struct Expected {
  int id;
  const char* kind;
};
const std::map<int, std::vector<Expected>> kControls = {
    {129, {{1058, "bitmap"}, {1059, "static"}, {1060, "static"}, {1061, "static"}, {1062, "static"}, {1031, "frame"}}},
    {131,
     {{1058, "bitmap"},
      {1002, "report"},
      {1003, "push"},
      {1059, "static"},
      {1060, "static"},
      {1061, "static"},
      {1062, "static"},
      {1031, "frame"}}},
    {134, {{1, "defpush"}, {2, "push"}, {1000, "animation"}, {-1, "static"}, {1032, "static"}}},
    {160,
     {{1058, "bitmap"},
      {1027, "radio"},
      {1026, "radio"},
      {1067, "static"},
      {1028, "password"},
      {1030, "readonly"},
      {1036, "readonly"},
      {1059, "static"},
      {1061, "static"},
      {1031, "frame"}}},
    {181,
     {{1058, "bitmap"},
      {1059, "static"},
      {1060, "static"},
      {1039, "droplist"},
      {1061, "static"},
      {1040, "edit"},
      {1062, "static"},
      {1024, "droplist"},
      {1064, "static"},
      {1025, "droplist"},
      {1080, "static"},
      {1081, "droplist"},
      {1076, "static"},
      {1077, "static"},
      {1092, "static"},
      {1078, "static"},
      {1031, "frame"}}},
    {185,
     {{1058, "bitmap"},
      {1059, "static"},
      {1051, "check"},
      {1060, "static"},
      {1052, "radio"},
      {1053, "radio"},
      {1061, "static"},
      {1069, "radio"},
      {1070, "radio"},
      {1066, "static"},
      {1032, "password"},
      {1043, "password"},
      {1062, "static"},
      {1064, "static"},
      {1076, "static"},
      {1077, "static"},
      {1031, "frame"}}},
    {187,
     {{1058, "bitmap"},
      {1059, "static"},
      {1071, "static"},
      {1076, "droplist"},
      {1072, "static"},
      {1074, "edit"},
      {1073, "static"},
      {1075, "password"},
      {1077, "static"},
      {1031, "frame"}}},
    {188,
     {{1058, "bitmap"},
      {1059, "static"},
      {1078, "static"},
      {1079, "password"},
      {1061, "static"},
      {1077, "static"},
      {1031, "frame"}}},
    {107, {{1058, "bitmap"},   {1059, "static"},   {1060, "static"}, {1084, "droplist"}, {1082, "static"},
           {1085, "droplist"}, {1091, "droplist"}, {1083, "static"}, {1086, "password"}, {1061, "static"},
           {1087, "static"},   {1088, "droplist"}, {1089, "static"}, {1032, "password"}, {1043, "password"},
           {1062, "static"},   {1064, "static"},   {1076, "static"}, {1078, "static"},   {1077, "static"},
           {1031, "frame"}}},
    {138,
     {{1058, "bitmap"},
      {1009, "radio"},
      {1010, "radio"},
      {1011, "ip"},
      {1012, "ip"},
      {1013, "ip"},
      {1060, "static"},
      {1061, "static"},
      {1062, "static"},
      {1059, "static"},
      {1064, "static"},
      {1031, "frame"}}},
    {142,
     {{1058, "bitmap"}, {1002, "report"}, {1093, "static"}, {1029, "readonly"}, {1018, "progress"}, {1031, "frame"}}},
    {139,
     {{1058, "bitmap"},
      {1002, "report"},
      {1032, "push"},
      {1059, "static"},
      {1060, "static"},
      {1061, "static"},
      {1031, "frame"}}},
    {141,
     {{1058, "bitmap"},
      {1002, "report"},
      {1015, "check"},
      {1060, "group"},
      {1059, "static"},
      {1061, "static"},
      {1031, "frame"}}},
    {148, {{1058, "bitmap"}, {1059, "static"}, {1031, "frame"}}},
    {171,
     {{1048, "static"},
      {1049, "static"},
      {1050, "static"},
      {1051, "static"},
      {1052, "static"},
      {1053, "static"},
      {1054, "static"},
      {1055, "static"},
      {1056, "static"}}},
};

TEST(WizardDialogs, TemplatesHoldTheirControls) {
  for (WORD language : kLanguages)
    for (const auto& [dialog, controls] : kControls) {
      const DialogTemplate* d = Dialog(language, dialog);
      ASSERT_NE(d, nullptr) << dialog;
      for (const Expected& control : controls) {
        SCOPED_TRACE("language " + std::to_string(language) + " dialog " + std::to_string(dialog) + " control " +
                     std::to_string(control.id));
        auto found = ItemsWithId(*d, control.id);
        ASSERT_FALSE(found.empty());
        if (control.id != IDC_STATIC) {
          EXPECT_EQ(found.size(), 1u) << "ids are unique within a template";
        }
        EXPECT_EQ(KindOf(*found[0]), control.kind);
      }
    }
}

TEST(WizardDialogs, ListsAndEditsHaveTheirStyles) {
  for (WORD language : kLanguages) {
    for (int page : {IDD_WIZARD_SERVER_LIST, IDD_WIZARD_PRINTER}) {
      const DialogItemTemplate* list = Item(*Dialog(language, page), 1002);
      EXPECT_TRUE(list->style & LVS_SINGLESEL) << page;
      EXPECT_TRUE(list->style & LVS_SHOWSELALWAYS) << page;
    }
    for (int page : {IDD_WIZARD_SAVE, IDD_WIZARD_SUMMARY})
      EXPECT_TRUE(Item(*Dialog(language, page), 1002)->style & LVS_NOCOLUMNHEADER) << page;
    const DialogItemTemplate* animation = Item(*Dialog(language, IDD_SEARCH), IDC_SEARCH_ANIMATION);
    EXPECT_TRUE(animation->style & ACS_TRANSPARENT);
    EXPECT_TRUE(animation->style & ACS_AUTOPLAY);
    for (int id : {1032, 1043, 1086}) {
      const DialogItemTemplate* key = Item(*Dialog(language, IDD_WIZARD_WL_SECURITY), id);
      EXPECT_TRUE(key->style & ES_PASSWORD) << id;
      EXPECT_TRUE(key->style & ES_AUTOHSCROLL) << id;
    }
    const DialogTemplate* wep = Dialog(language, IDD_WIZARD_WL_WEP);
    EXPECT_TRUE(Item(*wep, IDC_WEP_KEY64)->style & WS_TABSTOP);
    EXPECT_FALSE(Item(*wep, IDC_WEP_KEY128)->style & WS_TABSTOP) << "only the 64-bit edit is a tab stop";
    EXPECT_TRUE(Item(*Dialog(language, IDD_WIZARD_WL_BASIC), IDC_SSID)->style & ES_AUTOHSCROLL);
  }
}

// Positions the pages' designs fix (x, y, cx, cy), in both languages.
struct Placed {
  int id;
  short x, y, cx, cy;
};
const std::map<int, std::vector<Placed>> kPlaced = {
    {181,
     {{1058, 124, 10, 195, 25},
      {1059, 124, 46, 245, 33},
      {1060, 124, 98, 97, 10},
      {1039, 223, 97, 69, 68},
      {1061, 124, 113, 97, 10},
      {1040, 223, 112, 69, 12},
      {1062, 124, 128, 97, 10},
      {1024, 223, 127, 27, 186},
      {1064, 124, 143, 97, 10},
      {1025, 223, 142, 69, 60},
      {1080, 124, 159, 97, 10},
      {1081, 223, 157, 69, 60},
      {1076, 124, 176, 245, 30},
      {1077, 124, 213, 245, 29},
      {1092, 124, 213, 245, 29},
      {-1, 124, 243, 260, 50},
      {1078, 132, 252, 245, 36},
      {1031, 7, 7, 92, 286}}},
    {107, {{1059, 124, 46, 245, 33},  {1060, 124, 84, 79, 10},   {1084, 210, 83, 90, 60},   {1082, 124, 100, 79, 10},
           {1085, 210, 99, 90, 60},   {1091, 210, 99, 90, 60},   {1083, 124, 116, 79, 10},  {1086, 210, 115, 90, 12},
           {1061, 303, 116, 80, 9},   {1087, 124, 116, 79, 10},  {1088, 210, 115, 90, 45},  {1089, 124, 132, 79, 10},
           {1032, 210, 131, 90, 12},  {1043, 210, 131, 90, 12},  {1062, 124, 149, 248, 30}, {1064, 124, 183, 248, 29},
           {1076, 124, 217, 248, 26}, {1078, 124, 149, 248, 50}, {-1, 124, 243, 260, 50},   {1077, 129, 252, 248, 36},
           {1031, 7, 7, 92, 286}}},
    {185,
     {{1059, 124, 57, 248, 28},
      {1051, 124, 95, 98, 9},
      {1060, 136, 109, 58, 9},
      {1052, 197, 109, 50, 8},
      {1053, 255, 109, 50, 8},
      {1061, 136, 122, 58, 9},
      {1069, 197, 123, 71, 8},
      {1070, 273, 123, 71, 8},
      {1066, 136, 135, 58, 9},
      {1032, 197, 135, 98, 11},
      {1043, 197, 135, 98, 11},
      {1062, 124, 153, 248, 30},
      {1064, 124, 187, 248, 32},
      {1076, 124, 221, 248, 20},
      {-1, 124, 243, 260, 50},
      {1077, 129, 251, 248, 36},
      {1031, 7, 7, 92, 286}}},
    {187,
     {{1059, 124, 54, 248, 28},
      {1071, 124, 96, 58, 9},
      {1076, 190, 94, 80, 48},
      {1072, 124, 112, 58, 9},
      {1074, 190, 110, 80, 14},
      {1073, 124, 129, 58, 9},
      {1075, 190, 127, 80, 14},
      {-1, 124, 243, 260, 50},
      {1077, 129, 252, 248, 36},
      {1031, 7, 7, 92, 286}}},
    {188,
     {{1059, 124, 54, 248, 62},
      {1078, 124, 126, 68, 9},
      {1079, 195, 124, 80, 14},
      {1061, 282, 126, 90, 9},
      {-1, 124, 243, 260, 50},
      {1077, 129, 252, 248, 36},
      {1031, 7, 7, 92, 286}}},
};

TEST(WizardDialogs, WirelessPagesKeepTheirDesignedPlaces) {
  for (WORD language : kLanguages)
    for (const auto& [dialog, placed] : kPlaced) {
      const DialogTemplate* d = Dialog(language, dialog);
      ASSERT_NE(d, nullptr);
      for (const Placed& p : placed) {
        SCOPED_TRACE("language " + std::to_string(language) + " dialog " + std::to_string(dialog) + " control " +
                     std::to_string(p.id));
        bool found = false;
        for (const DialogItemTemplate* item : ItemsWithId(*d, p.id))
          found |= item->x == p.x && item->y == p.y && item->cx == p.cx && item->cy == p.cy;
        EXPECT_TRUE(found);
      }
    }
}

std::vector<int> Order(const DialogTemplate& d, std::initializer_list<int> ids) {
  std::vector<int> order;
  for (std::size_t i = 0; i < d.itemCount; ++i)
    for (int id : ids)
      if (d.items[i].id == id) order.push_back(id);
  return order;
}

TEST(WizardDialogs, TabOrderOfTheWirelessPages) {
  for (WORD language : kLanguages) {
    EXPECT_EQ(Order(*Dialog(language, 181), {1039, 1040, 1024, 1025, 1081}),
              (std::vector<int>{1039, 1040, 1024, 1025, 1081}));
    EXPECT_EQ(Order(*Dialog(language, 185), {1051, 1052, 1053, 1069, 1070, 1032}),
              (std::vector<int>{1051, 1052, 1053, 1069, 1070, 1032}));
    EXPECT_EQ(Order(*Dialog(language, 187), {1074, 1075, 1076}), (std::vector<int>{1074, 1075, 1076}));
    EXPECT_EQ(Order(*Dialog(language, 107), {1084, 1085, 1088, 1032, 1086, 1043, 1091}),
              (std::vector<int>{1084, 1085, 1088, 1032, 1086, 1043, 1091}));
    EXPECT_EQ(Order(*Dialog(language, 160), {1027, 1026}), (std::vector<int>{1027, 1026}));
    EXPECT_EQ(Order(*Dialog(language, 138), {1009, 1010}), (std::vector<int>{1009, 1010}));
  }
}

TEST(WizardDialogs, SearchDialog) {
  const DialogTemplate* english = Dialog(LANG_ENGLISH, IDD_SEARCH);
  const DialogTemplate* japanese = Dialog(LANG_JAPANESE, IDD_SEARCH);
  ASSERT_NE(english, nullptr);
  ASSERT_NE(japanese, nullptr);
  for (const DialogTemplate* d : {english, japanese}) {
    EXPECT_EQ(d->cx, 196);
    EXPECT_EQ(d->cy, 46);
    EXPECT_TRUE(d->style & WS_POPUP);
    EXPECT_TRUE(d->style & DS_MODALFRAME);
    EXPECT_NE(d->style & WS_CAPTION, WS_CAPTION) << "no caption";
    EXPECT_TRUE(d->exStyle & WS_EX_TOOLWINDOW);
    EXPECT_STREQ(Item(*d, IDC_SEARCH_STATUS)->text, "");
  }
  EXPECT_STREQ(english->fontName, "Arial");
  EXPECT_EQ(english->fontSize, 8);
  EXPECT_STREQ(japanese->fontName, "ＭＳ Ｐゴシック");
  EXPECT_EQ(japanese->fontSize, 9);
  EXPECT_STREQ(Item(*english, IDC_STATIC)->text, "Searching for print servers");
  EXPECT_STREQ(Item(*japanese, IDC_STATIC)->text, "プリントサーバを検索しています");
  EXPECT_STREQ(Item(*english, IDOK)->text, "OK");
  EXPECT_STREQ(Item(*english, IDCANCEL)->text, "Cancel");
}

TEST(WizardDialogs, AddPrinterGuide) {
  for (WORD language : kLanguages) {
    const DialogTemplate* d = Dialog(language, IDD_ADD_PRINTER_GUIDE);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->itemCount, 9u) << "nine texts, no buttons";
    EXPECT_TRUE(d->style & WS_CAPTION);
    EXPECT_FALSE(d->style & WS_SYSMENU);
    for (std::size_t i = 0; i < d->itemCount; ++i) EXPECT_EQ(d->items[i].id, IDC_HELP_ADD_PRINTER1 + int(i));
  }
  const DialogTemplate* english = Dialog(LANG_ENGLISH, IDD_ADD_PRINTER_GUIDE);
  EXPECT_STREQ(english->caption, "Adding A New Printer Help");
  EXPECT_STREQ(english->fontName, "Verdana");
  EXPECT_EQ(english->fontSize, 9);
}

TEST(WizardDialogs, TextsAreValidAndEnglishIsAscii) {
  for (WORD language : kLanguages)
    for (const DialogTemplate& d : WizardDialogs(language)) {
      EXPECT_TRUE(ValidUtf8(d.caption)) << d.id;
      for (std::size_t i = 0; i < d.itemCount; ++i) {
        EXPECT_TRUE(ValidUtf8(d.items[i].text)) << d.id << "/" << d.items[i].id;
        if (language == LANG_ENGLISH) {
          EXPECT_TRUE(Ascii(d.items[i].text)) << d.id << "/" << d.items[i].id;
        }
      }
    }
}

TEST(WizardDialogs, SomeTextsAsDesigned) {
  const DialogTemplate* welcome = Dialog(LANG_ENGLISH, IDD_WIZARD_WELCOME);
  EXPECT_STREQ(Item(*welcome, 1062)->text, "Version 0.95.01x");
  const DialogTemplate* list = Dialog(LANG_ENGLISH, IDD_WIZARD_SERVER_LIST);
  EXPECT_STREQ(Item(*list, 1059)->text,
               "The Wizard has found the following print servers on the network.\n"
               "Select a print server from the list.");
  const DialogTemplate* security = Dialog(LANG_ENGLISH, IDD_WIZARD_WL_SECURITY);
  EXPECT_STREQ(Item(*security, 1062)->text,
               "1.For 64-bit (sometimes called 40-bit) WEP encryption, enter the key    which contains 5 alphanumeric "
               "character or 10 hexadecimal digits    (depending on the key format you select)");
  const DialogTemplate* summary = Dialog(LANG_ENGLISH, IDD_WIZARD_SUMMARY);
  EXPECT_STREQ(Item(*summary, 1060)->text, "Printer Setting");
  // The Japanese templates carry their own texts.
  for (const PageInfo& page : kPages) {
    const DialogItemTemplate* e = Item(*Dialog(LANG_ENGLISH, page.dialog), 1059);
    const DialogItemTemplate* j = Item(*Dialog(LANG_JAPANESE, page.dialog), 1059);
    if (e == nullptr) continue;  // the save page has no introduction
    ASSERT_NE(j, nullptr);
    EXPECT_STRNE(e->text, j->text) << page.dialog;
    EXPECT_FALSE(Ascii(j->text)) << page.dialog;
  }
}

// ---------------------------------------------------------------------------
// Strings
// ---------------------------------------------------------------------------

std::map<int, std::string> Table(WORD language) {
  std::map<int, std::string> table;
  for (const StringResource& s : WizardStrings(language)) {
    EXPECT_TRUE(table.emplace(static_cast<int>(s.id), s.text).second) << "string " << s.id << " twice";
  }
  return table;
}

// Every string the pages, the search dialog and the discovery thread load.
std::vector<int> NamedStrings() {
  std::vector<int> ids = {102, 103, 104, 105, 106, 108, 109, 110, 112, 113, 114, 115, 116, 117, 118, 128, 129, 130,
                          131, 132, 133, 134, 135, 144, 145, 146, 147, 148, 149, 150, 151, 152, 153, 154, 155, 156,
                          157, 158, 159, 160, 161, 162, 163, 164, 179, 180, 181, 182, 183, 184, 195, 196, 198, 199,
                          200, 203, 204, 206, 207, 208, 209, 210, 211, 212, 213, 214, 215, 216, 217, 218};
  for (int id = 119; id <= 127; ++id) ids.push_back(id);  // the Add Printer guide
  for (int id = 165; id <= 178; ++id) ids.push_back(id);  // channels 1 to 14
  for (int id = 185; id <= 192; ++id) ids.push_back(id);  // 6 to 54 Mbps
  for (int id = 219; id <= 228; ++id) ids.push_back(id);  // key messages
  for (int id = 230; id <= 249; ++id) ids.push_back(id);  // list labels
  return ids;
}

TEST(WizardStrings, BothTablesHoldTheSameIds) {
  auto english = Table(LANG_ENGLISH);
  auto japanese = Table(LANG_JAPANESE);
  std::set<int> e, j;
  for (auto& [id, text] : english) e.insert(id);
  for (auto& [id, text] : japanese) j.insert(id);
  EXPECT_EQ(e, j);
  for (int id : NamedStrings()) {
    EXPECT_TRUE(english.count(id)) << id;
    EXPECT_TRUE(japanese.count(id)) << id;
    if (english.count(id)) {
      EXPECT_FALSE(english[id].empty()) << id;
    }
    if (japanese.count(id)) {
      EXPECT_FALSE(japanese[id].empty()) << id;
    }
  }
  for (auto& [id, text] : english) EXPECT_TRUE(Ascii(text.c_str())) << id;
  for (auto& [id, text] : japanese) EXPECT_TRUE(ValidUtf8(text.c_str())) << id;
  EXPECT_TRUE(WizardStrings(0x07).empty());
}

TEST(WizardStrings, TextsAsDesigned) {
  auto english = Table(LANG_ENGLISH);
  auto japanese = Table(LANG_JAPANESE);
  const std::map<int, const char*> expectedEnglish = {
      {102, "Device Name"},
      {104, "IP Address"},
      {106, "Found "},
      {114, "Ok"},
      {117, "Done !"},
      {119,
       "You have chosen to add a new printer. Windows Add Printer Wizard will help you add a new printer on this "
       "computer. Follow the given instructions; the steps may vary slightly between different Windows versions."},
      {128, "You must select a print server."},
      {130, "Cannot find any print servers; Please retry."},
      {144, "Refresh"},
      {156, "Ad-Hoc"},
      {158, "1, 2Mbps"},
      {165, "1"},
      {178, "14"},
      {182, "Enable ( 64-bit )"},
      {184, "Password :"},
      {185, "6 Mbps"},
      {192, "54 Mbps"},
      {200, "8 to 63 characters!"},
      {218, "Public Key :"},
      {228, "Wrong Key Format! Key must be 8 - 63 characters."},
  };
  for (auto& [id, text] : expectedEnglish) EXPECT_EQ(english[id], text) << id;
  const std::map<int, const char*> expectedJapanese = {
      {102, "デバイス名"},
      {103, "MACアドレス"},
      {104, "IPアドレス"},
      {105, "バージョン"},
      {108, "用紙切れ"},
      {109, "オフライン"},
      {112, "ポート"},
      {113, "ステータス"},
      {114, "OK"},
      {115, "ビジー"},
      {128, "プリントサーバを選択してください。"},
      {129, "パスワードが正しく入力されていません。"},
      {130, "プリントサーバが見つかりません。再試行してください。"},
      {144, "更新"},
      {145, "はい、設定を変更します。"},
      {146, "いいえ、設定を変更しません。"},
      {151, "選択したプリントサーバのIPアドレスは、0.0.0.0 です。"},
      {152, "固定のIPアドレスを設定することをお勧めします。"},
      {156, "AdHoc"},
      {184, "パスワード:"},
  };
  for (auto& [id, text] : expectedJapanese) EXPECT_EQ(japanese[id], text) << id;
  for (int n = 1; n <= 14; ++n) EXPECT_EQ(english[IdsChannel(n)], std::to_string(n));
}

// ---------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------

const BitmapResource* Picture(int id) {
  for (const BitmapResource& b : WizardPictures())
    if (static_cast<int>(b.id) == id) return &b;
  return nullptr;
}

TEST(WizardPictures, EveryPictureNamedExists) {
  std::set<int> ids;
  for (const BitmapResource& b : WizardPictures()) EXPECT_TRUE(ids.insert(static_cast<int>(b.id)).second) << b.id;
  for (const PageInfo& page : kPages) {
    const BitmapResource* side = Picture(page.side);
    ASSERT_NE(side, nullptr) << page.side;
    EXPECT_EQ(side->width, 140);
    EXPECT_EQ(side->height, 420);
    EXPECT_EQ(side->bitsPerPixel, 24);
    const BitmapResource* title = Picture(page.title);
    ASSERT_NE(title, nullptr) << page.title;
    // The banner fits its static: 195 x 25 dialog units at 6 x 13 pixels per 4 x 8 units.
    EXPECT_LE(title->width, 195 * 6 / 4) << page.title;
    EXPECT_LE(title->height, 25 * 13 / 8) << page.title;
  }
  EXPECT_NE(Picture(IDR_SEARCH_ANIMATION), nullptr);
  // Every picture a template refers to.
  for (WORD language : kLanguages)
    for (const DialogTemplate& d : WizardDialogs(language))
      for (std::size_t i = 0; i < d.itemCount; ++i)
        if (d.items[i].imageId) {
          EXPECT_NE(Picture(static_cast<int>(d.items[i].imageId)), nullptr);
        }
}

constexpr std::uint32_t kGuard = 0xDEADBEEF;
constexpr std::uint32_t kUnpainted = 0xFF5A5A5A;
constexpr int kGuardWords = 64;

// Draws into a buffer of the given size with guard words on both sides; returns the
// pixels and reports any write outside.
std::vector<std::uint32_t> Draw(const BitmapResource& b, int width, int height) {
  std::size_t count = static_cast<std::size_t>(width) * height;
  std::vector<std::uint32_t> buffer(count + 2 * kGuardWords, kGuard);
  std::fill(buffer.begin() + kGuardWords, buffer.begin() + kGuardWords + count, kUnpainted);
  b.draw(buffer.data() + kGuardWords, width, height);
  for (int i = 0; i < kGuardWords; ++i) {
    EXPECT_EQ(buffer[i], kGuard) << "picture " << b.id << " wrote before its buffer";
    EXPECT_EQ(buffer[kGuardWords + count + i], kGuard) << "picture " << b.id << " wrote after its buffer";
  }
  return {buffer.begin() + kGuardWords, buffer.begin() + kGuardWords + count};
}

TEST(WizardPictures, DrawEveryPixelInsideTheBuffer) {
  for (const BitmapResource& b : WizardPictures()) {
    SCOPED_TRACE("picture " + std::to_string(b.id));
    ASSERT_NE(b.draw, nullptr);
    ASSERT_NE(b.title, nullptr);
    EXPECT_GT(std::strlen(b.title), 0u);
    EXPECT_EQ(b.bitsPerPixel, 24);
    ASSERT_GT(b.width, 0);
    ASSERT_GT(b.height, 0);
    auto pixels = Draw(b, b.width, b.height);
    std::set<std::uint32_t> colours;
    for (std::uint32_t p : pixels) {
      ASSERT_EQ(p >> 24, 0u) << "every pixel painted, as 0x00RRGGBB";
      colours.insert(p);
    }
    EXPECT_GE(colours.size(), 8u) << "a picture, not a plain area";
  }
}

TEST(WizardPictures, SmallerOrLargerBuffersAreClipped) {
  for (const BitmapResource& b : WizardPictures()) {
    SCOPED_TRACE("picture " + std::to_string(b.id));
    Draw(b, b.width / 2, b.height / 3);
    Draw(b, 1, 1);
    Draw(b, 3, b.height);
    Draw(b, b.width + 17, b.height + 5);
    b.draw(nullptr, 0, 0);
  }
}

TEST(WizardPictures, SearchAnimationIsAStripOfFrames) {
  const BitmapResource* clip = Picture(IDR_SEARCH_ANIMATION);
  ASSERT_NE(clip, nullptr);
  int side = clip->height;
  EXPECT_EQ(side, vek::wizard::kSearchAnimationFrameSize);
  ASSERT_EQ(clip->width % side, 0);
  int frames = clip->width / side;
  EXPECT_EQ(frames, vek::wizard::kSearchAnimationFrames);
  auto pixels = Draw(*clip, clip->width, clip->height);
  auto at = [&](int frame, int x, int y) {
    return pixels[static_cast<std::size_t>(y) * clip->width + frame * side + x];
  };
  std::set<std::vector<std::uint32_t>> distinct;
  for (int frame = 0; frame < frames; ++frame) {
    EXPECT_EQ(at(frame, 0, 0), at(0, 0, 0)) << "same background in every frame";
    std::vector<std::uint32_t> image;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) image.push_back(at(frame, x, y));
    distinct.insert(image);
  }
  EXPECT_EQ(static_cast<int>(distinct.size()), frames) << "the picture moves from frame to frame";
}

TEST(WizardPictures, BannerTitlesFitTheBanner) {
  for (const PageInfo& page : kPages) {
    const BitmapResource* banner = Picture(page.title);
    ASSERT_NE(banner, nullptr);
    EXPECT_LE(40 + vek::wizard::PixelTextWidth(banner->title, 2), banner->width - 4) << banner->title;
  }
}

TEST(PixelFont, WidthsAndGlyphs) {
  EXPECT_EQ(vek::wizard::PixelTextWidth("", 2), 0);
  EXPECT_EQ(vek::wizard::PixelTextWidth("A", 1), 5);
  EXPECT_EQ(vek::wizard::PixelTextWidth("VEK", 4), 68);
  const std::uint8_t* box = vek::wizard::PixelGlyph('\x01');
  for (char c = '0'; c <= '9'; ++c) EXPECT_NE(vek::wizard::PixelGlyph(c), box) << c;
  for (char c = 'A'; c <= 'Z'; ++c) EXPECT_NE(vek::wizard::PixelGlyph(c), box) << c;
  for (char c = 'a'; c <= 'z'; ++c) EXPECT_NE(vek::wizard::PixelGlyph(c), box) << c;
  for (char c : std::string(" .,:-/()!?'*+")) EXPECT_NE(vek::wizard::PixelGlyph(c), box) << c;
}

TEST(PixelFont, TextIsClipped) {
  std::vector<std::uint32_t> buffer(2 * kGuardWords + 10 * 4, kGuard);
  std::uint32_t* pixels = buffer.data() + kGuardWords;
  std::fill(pixels, pixels + 40, 0u);
  vek::wizard::DrawPixelText(pixels, 10, 4, -7, -3, "WWWW", 3, 0x123456);
  vek::wizard::DrawPixelText(pixels, 10, 4, 5, 2, "HH", 2, 0x654321);
  for (int i = 0; i < kGuardWords; ++i) {
    EXPECT_EQ(buffer[i], kGuard);
    EXPECT_EQ(buffer[kGuardWords + 40 + i], kGuard);
  }
  EXPECT_NE(std::count(pixels, pixels + 40, 0x123456u), 0);
}

// ---------------------------------------------------------------------------
// Registration and the choice of language
// ---------------------------------------------------------------------------

class WizardRegistration : public testing::Test {
 protected:
  void SetUp() override {
    RegisterWizardResources();
    RegisterWizardResources();  // a second call changes nothing
  }
  void TearDown() override { vek::ResetOsVersionAndLanguage(); }

  static std::string String(int id) {
    std::string text;
    return vek::framework::FindString(static_cast<UINT>(id), &text) ? text : "<none>";
  }
};

TEST_F(WizardRegistration, JapaneseUsersGetTheJapaneseTables) {
  vek::SetLanguage(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  EXPECT_EQ(String(IDS_FOUND), "検出: ");
  EXPECT_EQ(String(IDS_COL_DEVICE_NAME), "デバイス名");
  char buffer[64];
  EXPECT_GT(LoadStringA(nullptr, IDS_REFRESH, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "更新");
  for (const PageInfo& page : kPages) {
    const DialogTemplate* d = vek::framework::FindDialogTemplate(static_cast<UINT>(page.dialog));
    ASSERT_NE(d, nullptr) << page.dialog;
    EXPECT_EQ(d->language, LANG_JAPANESE) << page.dialog;
  }
  EXPECT_STREQ(vek::framework::FindDialogTemplate(IDD_SEARCH)->fontName, "ＭＳ Ｐゴシック");
  // Any Japanese sub-language counts.
  vek::SetLanguage(MAKELANGID(LANG_JAPANESE, 2), MAKELANGID(LANG_JAPANESE, 2));
  EXPECT_EQ(String(IDS_FOUND), "検出: ");
}

TEST_F(WizardRegistration, EveryoneElseGetsEnglish) {
  for (LANGID language : {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), LANGID(0x040C), LANGID(0x0407)}) {
    vek::SetLanguage(language, language);
    EXPECT_EQ(String(IDS_FOUND), "Found ") << language;
    EXPECT_EQ(String(IDS_ERR_SELECT_SERVER), "You must select a print server.") << language;
    const DialogTemplate* d = vek::framework::FindDialogTemplate(IDD_WIZARD_WELCOME);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->language, LANG_ENGLISH);
    EXPECT_STREQ(vek::framework::FindDialogTemplate(IDD_SEARCH)->fontName, "Arial");
  }
}

TEST_F(WizardRegistration, PicturesAreRegistered) {
  for (const BitmapResource& b : WizardPictures()) EXPECT_EQ(vek::framework::FindBitmap(b.id), &b) << b.id;
  EXPECT_EQ(vek::framework::FindBitmap(9999), nullptr);
}

}  // namespace
