#include "framework/dialog_layout.h"

#include <algorithm>

namespace vek::framework {

ComposedDialogs::ComposedDialogs(WORD language, std::span<const DialogLayout> layouts,
                                 std::span<const DialogTexts> texts) {
  for (const DialogTexts &given : texts) {
    auto layout = std::find_if(layouts.begin(), layouts.end(), [&](const DialogLayout &l) { return l.id == given.id; });
    if (layout == layouts.end()) {
      m_problem = "texts for dialog " + std::to_string(given.id) + ", which has no layout";
      break;
    }
    if (!Compose(language, *layout, given)) break;
  }
  if (!ok()) {
    m_templates.clear();
    m_items.clear();
  }
}

bool ComposedDialogs::Compose(WORD language, const DialogLayout &layout, const DialogTexts &texts) {
  auto items = std::make_unique<DialogItemTemplate[]>(layout.itemCount);
  std::size_t next = 0;
  for (std::size_t i = 0; i < layout.itemCount; ++i) {
    items[i] = layout.items[i];
    if (items[i].text != nullptr) continue;
    const std::string where = "dialog " + std::to_string(layout.id) + ", item " + std::to_string(i) + " (id " +
                              std::to_string(items[i].id) + ")";
    if (next == texts.textCount) {
      m_problem = where + " has no text";
      return false;
    }
    const ItemText &text = texts.texts[next++];
    if (text.id != items[i].id || text.text == nullptr) {
      m_problem = where + " is given the text of id " + std::to_string(text.id);
      return false;
    }
    items[i].text = text.text;
  }
  if (next != texts.textCount) {
    m_problem = "dialog " + std::to_string(layout.id) + " is given " + std::to_string(texts.textCount - next) +
                " text(s) more than it has items for";
    return false;
  }
  m_templates.push_back({layout.id, language, layout.x, layout.y, layout.cx, layout.cy, layout.style, layout.exStyle,
                         texts.caption, texts.fontName, texts.fontSize, items.get(), layout.itemCount});
  m_items.push_back(std::move(items));
  return true;
}

}  // namespace vek::framework
