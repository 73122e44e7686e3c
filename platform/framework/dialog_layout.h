// A dialog written once for every language: its layout (size, style, the
// controls with their classes, ids, places and styles) apart from what each
// language gives it (the caption, the font and the controls' texts). Composing
// the two gives the dialog template of that language.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/dialog_template.h"

namespace vek::framework {

// An item whose text is null takes its text from the language; any other item
// (a picture, a list, an edit, an untitled frame) keeps its own.
struct DialogLayout {
  UINT id;
  short x, y, cx, cy;
  DWORD style;
  DWORD exStyle;
  const DialogItemTemplate *items;
  std::size_t itemCount;
};

// The text of one item; `id` repeats the item's id so that a text cannot land
// on the wrong control unnoticed.
struct ItemText {
  int id;
  const char *text;  // UTF-8
};

// What one language gives one dialog: a text for each item of the layout
// without a text of its own, in item order.
struct DialogTexts {
  UINT id;
  const char *caption;
  const char *fontName;
  WORD fontSize;
  const ItemText *texts;
  std::size_t textCount;
};

// The templates of one language, composed from a program's layouts and that
// language's texts, and owned here. A layout the language gives no texts for is
// left out (lookups then fall back to English). Texts that do not fit their
// layout (one missing, one too many, an id out of place, texts for no layout)
// compose nothing: ok() is false and problem() says where.
class ComposedDialogs {
 public:
  ComposedDialogs(WORD language, std::span<const DialogLayout> layouts, std::span<const DialogTexts> texts);

  bool ok() const { return m_problem.empty(); }
  const std::string &problem() const { return m_problem; }
  std::span<const DialogTemplate> templates() const { return m_templates; }

 private:
  bool Compose(WORD language, const DialogLayout &layout, const DialogTexts &texts);

  std::vector<std::unique_ptr<DialogItemTemplate[]>> m_items;
  std::vector<DialogTemplate> m_templates;
  std::string m_problem;
};

}  // namespace vek::framework
