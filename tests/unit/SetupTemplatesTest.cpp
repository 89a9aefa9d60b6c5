// The main options dialog's templates in their five languages, the About box,
// string 101 and icon 128, read back from the compiled resources that
// Setup.exe and the simulated computer both carry.
#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

extern const unsigned char g_abSetupRes[];
extern const std::size_t g_cbSetupRes;

namespace {

const uint32_t kWsPopup = 0x80000000, kWsChild = 0x40000000, kWsVisible = 0x10000000;
const uint32_t kWsCaption = 0x00C00000, kWsSysMenu = 0x00080000;
const uint32_t kWsGroup = 0x00020000, kWsTabStop = 0x00010000;
const uint32_t kDsSetFont = 0x40, kDsModalFrame = 0x80, kWsExAppWindow = 0x00040000;
const uint32_t kBsPushButton = 0, kBsDefPushButton = 1, kBsAutoCheckBox = 3, kBsGroupBox = 7;
const uint32_t kSsLeft = 0, kSsCenter = 1, kSsIcon = 3, kSsNoPrefix = 0x80;
const uint16_t kButtonClass = 0x80, kStaticClass = 0x82;

// A name or ordinal of a resource or template field.
struct NameOrd {
  std::u16string name;
  int ord = -1;
};

class CReader {
public:
  CReader(const unsigned char* p, std::size_t cb) : m_p(p), m_cb(cb) {}
  uint16_t Word()
  {
    Need(2);
    uint16_t v = (uint16_t)(m_p[m_i] | (m_p[m_i + 1] << 8));
    m_i += 2;
    return v;
  }
  uint32_t DWord()
  {
    uint32_t lo = Word();
    return lo | ((uint32_t)Word() << 16);
  }
  int16_t Short() { return (int16_t)Word(); }
  uint8_t Byte()
  {
    Need(1);
    return m_p[m_i++];
  }
  std::u16string Str()
  {
    std::u16string s;
    for (uint16_t c = Word(); c != 0; c = Word())
      s += (char16_t)c;
    return s;
  }
  NameOrd SzOrOrd()
  {
    NameOrd n;
    Need(2);
    if (m_p[m_i] == 0xFF && m_p[m_i + 1] == 0xFF) {
      Word();
      n.ord = Word();
    } else {
      n.name = Str();
    }
    return n;
  }
  void Align4() { m_i = (m_i + 3) & ~(std::size_t)3; }
  void Skip(std::size_t cb)
  {
    Need(cb);
    m_i += cb;
  }
  std::size_t Pos() const { return m_i; }
  bool AtEnd() const { return m_i >= m_cb; }

private:
  void Need(std::size_t cb) const
  {
    if (m_i + cb > m_cb)
      throw std::runtime_error("resource data ends early");
  }
  const unsigned char* m_p;
  std::size_t m_cb;
  std::size_t m_i = 0;
};

using ResKey = std::tuple<int, int, int>;  // type, name (ordinal), language
std::map<ResKey, std::vector<unsigned char>> LoadResources()
{
  std::map<ResKey, std::vector<unsigned char>> res;
  CReader r(g_abSetupRes, g_cbSetupRes);
  while (!r.AtEnd()) {
    uint32_t cbData = r.DWord();
    uint32_t cbHeader = r.DWord();
    std::size_t start = r.Pos() - 8;
    NameOrd type = r.SzOrOrd();
    NameOrd name = r.SzOrOrd();
    r.Align4();
    r.DWord();  // data version
    r.Word();   // memory flags
    uint16_t lang = r.Word();
    r.Skip(start + cbHeader - r.Pos());
    const unsigned char* p = g_abSetupRes + r.Pos();
    r.Skip(cbData);
    r.Align4();
    if (cbData != 0)
      res[ResKey{type.ord, name.ord, lang}] = std::vector<unsigned char>(p, p + cbData);
  }
  return res;
}

struct Control {
  uint32_t style = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;
  NameOrd cls;
  NameOrd text;
};

struct Template {
  uint32_t style = 0, exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::u16string caption;
  int fontSize = 0;
  std::u16string font;
  std::vector<Control> controls;
};

// Reads a DLGTEMPLATE or DLGTEMPLATEEX.
Template ParseTemplate(const std::vector<unsigned char>& data)
{
  CReader r(data.data(), data.size());
  Template t;
  bool ex = data.size() >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
  if (ex) {
    r.DWord();  // version and signature
    r.DWord();  // help id
    t.exStyle = r.DWord();
    t.style = r.DWord();
  } else {
    t.style = r.DWord();
    t.exStyle = r.DWord();
  }
  int count = r.Word();
  t.x = r.Short();
  t.y = r.Short();
  t.cx = r.Short();
  t.cy = r.Short();
  r.SzOrOrd();  // menu
  r.SzOrOrd();  // class
  t.caption = r.Str();
  if (t.style & kDsSetFont) {
    t.fontSize = r.Word();
    if (ex) {
      r.Word();  // weight
      r.Byte();  // italic
      r.Byte();  // character set
    }
    t.font = r.Str();
  }
  for (int i = 0; i < count; ++i) {
    r.Align4();
    Control c;
    if (ex) {
      r.DWord();  // help id
      r.DWord();  // extended style
      c.style = r.DWord();
    } else {
      c.style = r.DWord();
      r.DWord();  // extended style
    }
    c.x = r.Short();
    c.y = r.Short();
    c.cx = r.Short();
    c.cy = r.Short();
    c.id = ex ? (int)(int32_t)r.DWord() : (int)(int16_t)r.Word();
    c.cls = r.SzOrOrd();
    c.text = r.SzOrOrd();
    r.Skip(r.Word());  // creation data
    t.controls.push_back(c);
  }
  return t;
}

std::string Narrow(const std::u16string& s)
{
  std::string out;
  for (char16_t c : s)
    out += c < 0x80 ? (char)c : '?';
  return out;
}

const std::map<ResKey, std::vector<unsigned char>>& Resources()
{
  static const auto s_res = LoadResources();
  return s_res;
}

std::optional<Template> FindTemplate(int id, int lang)
{
  auto it = Resources().find(ResKey{5, id, lang});
  if (it == Resources().end())
    return std::nullopt;
  return ParseTemplate(it->second);
}

// One language's texts, as the dialog must show them.
struct Texts {
  int lang;
  std::u16string caption, prompt, apps, driver, wait, ok, cancel;
};

const Texts kTexts[] = {
  { 1033, u"Tonivex Device Driver And Applications Setup Program",
    u"Please select the installation options:", u"Install Applications",
    u"Install Device Driver", u"Please wait .....", u"OK", u"Cancel" },
  { 1036, u"Programme d'installation du pilote de peripherique Tonivex et des applications",
    u"Choisissez les options d'installation :", u"Installer les applications",
    u"Installer le pilote de peripherique", u"Patientez quelques instants ...", u"OK",
    u"Annuler" },
  { 1041, u"Tonivex \uFF83\uFF9E\uFF8A\uFF9E\uFF72\uFF7D\uFF84\uFF9E\uFF97\uFF72\uFF8A\uFF9E/"
          u"\uFF71\uFF8C\uFF9F\uFF98\uFF79\uFF70\uFF7C\uFF6E\uFF9D \uFF72\uFF9D\uFF7D\uFF84\uFF70"
          u"\uFF99\uFF8C\uFF9F\uFF9B\uFF78\uFF9E\uFF97\uFF91 ",
    u"\uFF72\uFF9D\uFF7D\uFF84\uFF70\uFF99\u306E\uFF75\uFF8C\uFF9F\uFF7C\uFF6E\uFF9D\u3092\u9078"
    u"\u629E\u3057\u3066\u304F\u3060\u3055\u3044:",
    u"\uFF71\uFF8C\uFF9F\uFF98\uFF79\uFF70\uFF7C\uFF6E\uFF9D\u3092\uFF72\uFF9D\uFF7D\uFF84\uFF70"
    u"\uFF99\u3059\u308B ",
    u"\uFF83\uFF9E\uFF8A\uFF9E\uFF72\uFF7D\uFF84\uFF9E\uFF97\uFF72\uFF8A\uFF9E\u3092\uFF72\uFF9D"
    u"\uFF7D\uFF84\uFF70\uFF99\u3059\u308B",
    u"\u304A\u5F85\u3061\u304F\u3060\u3055\u3044 .....", u"OK", u"\uFF77\uFF6C\uFF9D\uFF7E\uFF99 " },
  { 1042, u"Tonivex \uB4DC\uB77C\uC774\uBC84 \uBC0F \uC751\uC6A9\uD504\uB85C\uADF8\uB7A8 \uC124\uCE58",
    u"\uC124\uCE58 \uC635\uC158\uC744 \uC120\uD0DD\uD558\uC5EC \uC8FC\uC2ED\uC2DC\uC624:",
    u"\uC751\uC6A9\uD504\uB85C\uADF8\uB7A8 \uC124\uCE58", u"\uB4DC\uB77C\uC774\uBC84 \uC124\uCE58",
    u"\uC7A0\uC2DC\uB9CC \uAE30\uB2E4\uB824 \uC8FC\uC2ED\uC2DC\uC624 .....", u"\uB124",
    u"\uB2EB\uAE30" },
  { 1028, u"\u5B89\u88DD Tonivex\u8A2D\u5099\u9A45\u52D5\u7A0B\u5F0F\u8207\u61C9\u7528\u7A0B\u5F0F",
    u"\u8ACB\u9078\u64C7\u5B89\u88DD\u9078\u9805\uFF1A", u"\u5B89\u88DD\u61C9\u7528\u7A0B\u5F0F",
    u"\u5B89\u88DD\u9A45\u52D5\u7A0B\u5F0F", u"\u8ACB\u7A0D\u5F8C\u2027\u2027\u2027",
    u"\u78BA\u8A8D", u"\u53D6\u6D88" },
};

// One language's layout: size, then each control's position and width.
struct Layout {
  int lang;
  int cx, cy;
  int okX, cancelX, frameX;
  int waitX, waitCx;
  bool waitCentred;
  int boxX, appsCx, driverCx;
  int promptX, promptCx;
};

const Layout kLayouts[] = {
  { 1033, 169, 125, 25, 90, 5, 65, 71, false, 20, 96, 96, 5, 130 },
  { 1036, 189, 126, 35, 100, 15, 50, 96, false, 30, 96, 135, 15, 130 },
  { 1041, 169, 125, 25, 90, 5, 65, 71, false, 20, 130, 130, 5, 140 },
  { 1042, 169, 125, 25, 90, 5, 25, 120, true, 20, 125, 96, 5, 145 },
  { 1028, 169, 125, 25, 90, 5, 65, 71, false, 20, 96, 96, 5, 130 },
};

// A control class given by its ordinal or, as Windows equally accepts, by
// its name.
bool IsClass(const NameOrd& cls, uint16_t ordinal)
{
  if (cls.ord >= 0)
    return cls.ord == ordinal;
  std::string name;
  for (char16_t c : cls.name)
    name += (char)std::toupper((unsigned char)c);
  return name == (ordinal == kButtonClass ? "BUTTON" : "STATIC");
}

void ExpectControl(const Control& c, int id, uint16_t cls, uint32_t type, bool tabStop,
                   bool group, int x, int y, int cx, int cy, const std::u16string& text)
{
  SCOPED_TRACE("control " + std::to_string(id) + " \"" + Narrow(text) + "\"");
  EXPECT_EQ(id, c.id);
  EXPECT_TRUE(IsClass(c.cls, cls));
  EXPECT_EQ(type, c.style & 0x0F);
  EXPECT_EQ(tabStop, (c.style & kWsTabStop) != 0);
  EXPECT_EQ(group, (c.style & kWsGroup) != 0);
  EXPECT_TRUE((c.style & kWsChild) && (c.style & kWsVisible));
  EXPECT_EQ(x, c.x);
  EXPECT_EQ(y, c.y);
  EXPECT_EQ(cx, c.cx);
  EXPECT_EQ(cy, c.cy);
  EXPECT_EQ(text, c.text.name);
}

}  // namespace

TEST(SetupTemplates, OptionsDialogInEachLanguage)
{
  for (std::size_t i = 0; i < sizeof kTexts / sizeof kTexts[0]; ++i) {
    const Texts& tx = kTexts[i];
    const Layout& lay = kLayouts[i];
    ASSERT_EQ(tx.lang, lay.lang);
    SCOPED_TRACE("language " + std::to_string(tx.lang));
    std::optional<Template> t = FindTemplate(102, tx.lang);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(kWsPopup | kWsVisible | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont,
              t->style);
    EXPECT_EQ(kWsExAppWindow, t->exStyle);
    EXPECT_EQ(0, t->x);
    EXPECT_EQ(0, t->y);
    EXPECT_EQ(lay.cx, t->cx);
    EXPECT_EQ(lay.cy, t->cy);
    EXPECT_EQ(12, t->fontSize);
    EXPECT_EQ(u"MS Sans Serif", t->font);
    EXPECT_EQ(tx.caption, t->caption);
    ASSERT_EQ(7u, t->controls.size());
    const std::vector<Control>& c = t->controls;
    // Template order is the tab order.
    ExpectControl(c[0], 1, kButtonClass, kBsDefPushButton, true, false, lay.okX, 100, 50, 14,
                  tx.ok);
    ExpectControl(c[1], 2, kButtonClass, kBsPushButton, true, false, lay.cancelX, 100, 50, 14,
                  tx.cancel);
    ExpectControl(c[2], -1, kButtonClass, kBsGroupBox, false, false, lay.frameX, 20, 160, 60,
                  u"");
    ExpectControl(c[3], 1003, kStaticClass, lay.waitCentred ? kSsCenter : kSsLeft, false, true,
                  lay.waitX, 45, lay.waitCx, 8, tx.wait);
    ExpectControl(c[4], 1001, kButtonClass, kBsAutoCheckBox, true, false, lay.boxX, 35,
                  lay.appsCx, 10, tx.apps);
    ExpectControl(c[5], 1002, kButtonClass, kBsAutoCheckBox, true, false, lay.boxX, 60,
                  lay.driverCx, 10, tx.driver);
    ExpectControl(c[6], -1, kStaticClass, kSsLeft, false, true, lay.promptX, 10, lay.promptCx, 8,
                  tx.prompt);
  }
}

TEST(SetupTemplates, OptionsDialogExistsInExactlyFiveLanguages)
{
  std::vector<int> langs;
  for (const auto& [key, data] : Resources())
    if (std::get<0>(key) == 5 && std::get<1>(key) == 102)
      langs.push_back(std::get<2>(key));
  EXPECT_EQ((std::vector<int>{ 1028, 1033, 1036, 1041, 1042 }), langs);
}

TEST(SetupTemplates, AboutBox)
{
  std::optional<Template> t = FindTemplate(100, 1033);
  ASSERT_TRUE(t.has_value());
  EXPECT_EQ(kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont, t->style);
  EXPECT_EQ(235, t->cx);
  EXPECT_EQ(55, t->cy);
  EXPECT_EQ(u"About Setup", t->caption);
  EXPECT_EQ(8, t->fontSize);
  EXPECT_EQ(u"MS Sans Serif", t->font);
  ASSERT_EQ(4u, t->controls.size());
  const std::vector<Control>& c = t->controls;
  // The icon control names icon resource 128.
  EXPECT_TRUE(IsClass(c[0].cls, kStaticClass));
  EXPECT_EQ(kSsIcon, c[0].style & 0x0F);
  EXPECT_EQ(128, c[0].text.ord);
  EXPECT_EQ((std::vector<int>{ 11, 17, 20, 20 }),
            (std::vector<int>{ c[0].x, c[0].y, c[0].cx, c[0].cy }));
  ExpectControl(c[1], -1, kStaticClass, kSsLeft, false, true, 40, 10, 119, 8,
                u"Setup Version 2.5");
  EXPECT_TRUE(c[1].style & kSsNoPrefix);
  EXPECT_EQ((std::vector<int>{ 40, 25, 119, 8 }),
            (std::vector<int>{ c[2].x, c[2].y, c[2].cx, c[2].cy }));
  EXPECT_FALSE(c[2].text.name.empty());
  EXPECT_TRUE(c[2].style & kWsGroup);
  ExpectControl(c[3], 1, kButtonClass, kBsDefPushButton, true, true, 178, 7, 50, 14, u"OK");
}

TEST(SetupTemplates, AboutMenuTextAndIcon)
{
  // String 101 is the second entry of string block 7.
  auto it = Resources().find(ResKey{6, 7, 1033});
  ASSERT_NE(Resources().end(), it);
  CReader r(it->second.data(), it->second.size());
  std::u16string s101;
  for (int i = 0; i < 16; ++i) {
    std::u16string s;
    for (int n = r.Word(); n > 0; --n)
      s += (char16_t)r.Word();
    if (i == 101 % 16)
      s101 = s;
  }
  EXPECT_EQ(u"&About Setup...", s101);

  // Icon 128 is an icon group of a 32x32 and a 16x16 image, each present.
  auto group = Resources().find(ResKey{14, 128, 1033});
  ASSERT_NE(Resources().end(), group);
  CReader g(group->second.data(), group->second.size());
  EXPECT_EQ(0, g.Word());
  EXPECT_EQ(1, g.Word());
  int count = g.Word();
  std::vector<int> sizes;
  for (int i = 0; i < count; ++i) {
    int cx = g.Byte();
    g.Skip(11);
    int id = g.Word();
    sizes.push_back(cx);
    EXPECT_TRUE(Resources().count(ResKey{3, id, 1033})) << "image " << id;
  }
  EXPECT_EQ((std::vector<int>{ 32, 16 }), sizes);
}
