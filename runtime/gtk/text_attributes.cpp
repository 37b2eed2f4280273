#include "gtk/text_attributes.h"

#include <string>

namespace zprava {
namespace {

// One attribute, its value a copy for the set, which the caller frees.
AtkAttributeSet* AddAttribute(AtkAttributeSet* set, AtkTextAttribute attribute, std::string value) {
  auto* entry = static_cast<AtkAttribute*>(g_malloc(sizeof(AtkAttribute)));
  entry->name = g_strdup(atk_text_attribute_get_name(attribute));
  entry->value = g_strdup(value.c_str());
  return g_slist_prepend(set, entry);
}

AtkAttributeSet* AddNamedValue(AtkAttributeSet* set, AtkTextAttribute attribute, int index) {
  const gchar* value = atk_text_attribute_get_value(attribute, index);
  return value == nullptr ? set : AddAttribute(set, attribute, value);
}

std::string ColourValue(const GdkRGBA& colour) {
  auto channel = [](double c) { return std::to_string(static_cast<int>(c * 65535.0 + 0.5)); };
  return channel(colour.red) + "," + channel(colour.green) + "," + channel(colour.blue);
}

AtkAttributeSet* AddFont(AtkAttributeSet* set, const PangoFontDescription& font) {
  if (const char* family = pango_font_description_get_family(&font)) {
    set = AddAttribute(set, ATK_TEXT_ATTR_FAMILY_NAME, family);
  }
  set = AddAttribute(set, ATK_TEXT_ATTR_SIZE,
                     std::to_string(pango_font_description_get_size(&font) / PANGO_SCALE));
  set = AddAttribute(set, ATK_TEXT_ATTR_WEIGHT,
                     std::to_string(pango_font_description_get_weight(&font)));
  set = AddNamedValue(set, ATK_TEXT_ATTR_STYLE, pango_font_description_get_style(&font));
  set = AddNamedValue(set, ATK_TEXT_ATTR_VARIANT, pango_font_description_get_variant(&font));
  return AddNamedValue(set, ATK_TEXT_ATTR_STRETCH, pango_font_description_get_stretch(&font));
}

AtkAttributeSet* AddColours(AtkAttributeSet* set, GtkWidget* widget) {
  GtkStyleContext* style = gtk_widget_get_style_context(widget);
  const GtkStateFlags state = gtk_style_context_get_state(style);
  GdkRGBA foreground;
  gtk_style_context_get_color(style, state, &foreground);
  set = AddAttribute(set, ATK_TEXT_ATTR_FG_COLOR, ColourValue(foreground));
  GdkRGBA* background = nullptr;
  gtk_style_context_get(style, state, GTK_STYLE_PROPERTY_BACKGROUND_COLOR, &background, nullptr);
  if (background == nullptr) return set;
  set = AddAttribute(set, ATK_TEXT_ATTR_BG_COLOR, ColourValue(*background));
  gdk_rgba_free(background);
  return set;
}

// Plain, read-only text, left to right, wrapped at words, nothing raised,
// indented or spaced.
AtkAttributeSet* AddPlainLayout(AtkAttributeSet* set) {
  set = AddNamedValue(set, ATK_TEXT_ATTR_DIRECTION, GTK_TEXT_DIR_LTR);
  set = AddNamedValue(set, ATK_TEXT_ATTR_JUSTIFICATION, GTK_JUSTIFY_LEFT);
  set = AddNamedValue(set, ATK_TEXT_ATTR_WRAP_MODE, GTK_WRAP_WORD_CHAR);
  set = AddNamedValue(set, ATK_TEXT_ATTR_EDITABLE, FALSE);
  set = AddNamedValue(set, ATK_TEXT_ATTR_INVISIBLE, FALSE);
  set = AddNamedValue(set, ATK_TEXT_ATTR_STRIKETHROUGH, FALSE);
  set = AddNamedValue(set, ATK_TEXT_ATTR_UNDERLINE, PANGO_UNDERLINE_NONE);
  set = AddNamedValue(set, ATK_TEXT_ATTR_BG_FULL_HEIGHT, FALSE);
  for (AtkTextAttribute none :
       {ATK_TEXT_ATTR_LEFT_MARGIN, ATK_TEXT_ATTR_RIGHT_MARGIN, ATK_TEXT_ATTR_INDENT,
        ATK_TEXT_ATTR_RISE, ATK_TEXT_ATTR_PIXELS_ABOVE_LINES, ATK_TEXT_ATTR_PIXELS_BELOW_LINES,
        ATK_TEXT_ATTR_PIXELS_INSIDE_WRAP}) {
    set = AddAttribute(set, none, "0");
  }
  return AddAttribute(set, ATK_TEXT_ATTR_SCALE, "1");
}

}  // namespace

AtkAttributeSet* ShownAttributes(GtkWidget* widget) {
  AtkAttributeSet* set = AddAttribute(nullptr, ATK_TEXT_ATTR_LANGUAGE,
                                      pango_language_to_string(pango_language_get_default()));
  const PangoFontDescription* font =
      pango_context_get_font_description(gtk_widget_get_pango_context(widget));
  if (font != nullptr) set = AddFont(set, *font);
  set = AddColours(set, widget);
  return AddPlainLayout(set);
}

}  // namespace zprava
