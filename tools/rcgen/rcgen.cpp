// rcgen: turns the DIALOG statements of a resource script into the tables
// of the simulated machine (platform/sim/DialogTemplate.h), so the native
// programs show the same dialogs that the resource compiler builds into the
// Windows programs.
//
//   rcgen SCRIPT.rc OUTPUT.cpp SYMBOL
//
// The script is UTF-8 (#pragma code_page(65001)); texts are written out in
// Windows-1250. Controls get the resource compiler's default styles, and a
// style written after a control is added to them (NOT removes a flag).
// Resources other than dialogs (icons, version information, string tables)
// are skipped.

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "text/CodePage.h"

namespace {

struct Token {
  enum Kind { Name, Number, String, Punct, End } kind;
  std::string text;
  long value = 0;
  int line = 0;
};

struct Control {
  std::string className;
  long id = -1;
  std::string text;
  long x = 0, y = 0, width = 0, height = 0;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
};

struct Dialog {
  long id = 0;
  std::string caption;
  long x = 0, y = 0, width = 0, height = 0;
  std::uint32_t style = 0;
  std::string font;
  long fontSize = 0;
  std::vector<Control> controls;
};

constexpr std::uint32_t kChildVisible = 0x40000000 | 0x10000000;  // WS_CHILD | WS_VISIBLE

const std::map<std::string, long>& Constants() {
  static const std::map<std::string, long> table = {
      {"WS_OVERLAPPED", 0x00000000L}, {"WS_POPUP", 0x80000000L},    {"WS_CHILD", 0x40000000L},
      {"WS_MINIMIZE", 0x20000000L},   {"WS_VISIBLE", 0x10000000L},  {"WS_DISABLED", 0x08000000L},
      {"WS_CLIPSIBLINGS", 0x04000000L}, {"WS_CLIPCHILDREN", 0x02000000L}, {"WS_MAXIMIZE", 0x01000000L},
      {"WS_CAPTION", 0x00C00000L},    {"WS_BORDER", 0x00800000L},   {"WS_DLGFRAME", 0x00400000L},
      {"WS_VSCROLL", 0x00200000L},    {"WS_HSCROLL", 0x00100000L},  {"WS_SYSMENU", 0x00080000L},
      {"WS_THICKFRAME", 0x00040000L}, {"WS_GROUP", 0x00020000L},    {"WS_TABSTOP", 0x00010000L},
      {"WS_MINIMIZEBOX", 0x00020000L}, {"WS_MAXIMIZEBOX", 0x00010000L},
      {"WS_EX_CLIENTEDGE", 0x00000200L}, {"WS_EX_APPWINDOW", 0x00040000L}, {"WS_EX_STATICEDGE", 0x00020000L},
      {"WS_EX_TRANSPARENT", 0x00000020L}, {"WS_EX_NOPARENTNOTIFY", 0x00000004L},
      {"DS_ABSALIGN", 0x01L},         {"DS_SYSMODAL", 0x02L},       {"DS_LOCALEDIT", 0x20L},
      {"DS_SETFONT", 0x40L},          {"DS_MODALFRAME", 0x80L},     {"DS_NOIDLEMSG", 0x100L},
      {"DS_SETFOREGROUND", 0x200L},   {"DS_3DLOOK", 0x0004L},       {"DS_FIXEDSYS", 0x0008L},
      {"DS_NOFAILCREATE", 0x0010L},   {"DS_CONTROL", 0x0400L},      {"DS_CENTER", 0x0800L},
      {"DS_CENTERMOUSE", 0x1000L},    {"DS_CONTEXTHELP", 0x2000L},  {"DS_SHELLFONT", 0x48L},
      {"ES_LEFT", 0x0000L},           {"ES_CENTER", 0x0001L},       {"ES_RIGHT", 0x0002L},
      {"ES_MULTILINE", 0x0004L},      {"ES_UPPERCASE", 0x0008L},    {"ES_LOWERCASE", 0x0010L},
      {"ES_PASSWORD", 0x0020L},       {"ES_AUTOVSCROLL", 0x0040L},  {"ES_AUTOHSCROLL", 0x0080L},
      {"ES_NOHIDESEL", 0x0100L},      {"ES_OEMCONVERT", 0x0400L},   {"ES_READONLY", 0x0800L},
      {"ES_WANTRETURN", 0x1000L},     {"ES_NUMBER", 0x2000L},
      {"BS_PUSHBUTTON", 0x0L},        {"BS_DEFPUSHBUTTON", 0x1L},   {"BS_CHECKBOX", 0x2L},
      {"BS_AUTOCHECKBOX", 0x3L},      {"BS_RADIOBUTTON", 0x4L},     {"BS_3STATE", 0x5L},
      {"BS_AUTO3STATE", 0x6L},        {"BS_GROUPBOX", 0x7L},        {"BS_AUTORADIOBUTTON", 0x9L},
      {"BS_OWNERDRAW", 0xBL},         {"BS_LEFTTEXT", 0x20L},       {"BS_MULTILINE", 0x2000L},
      {"BS_NOTIFY", 0x4000L},         {"BS_FLAT", 0x8000L},
      {"SS_LEFT", 0x0L},              {"SS_CENTER", 0x1L},          {"SS_RIGHT", 0x2L},
      {"SS_ICON", 0x3L},              {"SS_BLACKRECT", 0x4L},       {"SS_GRAYRECT", 0x5L},
      {"SS_WHITERECT", 0x6L},         {"SS_BLACKFRAME", 0x7L},      {"SS_GRAYFRAME", 0x8L},
      {"SS_WHITEFRAME", 0x9L},        {"SS_SIMPLE", 0xBL},          {"SS_LEFTNOWORDWRAP", 0xCL},
      {"SS_BITMAP", 0xEL},            {"SS_ETCHEDHORZ", 0x10L},     {"SS_ETCHEDVERT", 0x11L},
      {"SS_ETCHEDFRAME", 0x12L},      {"SS_NOPREFIX", 0x80L},       {"SS_NOTIFY", 0x100L},
      {"SS_CENTERIMAGE", 0x200L},     {"SS_REALSIZEIMAGE", 0x800L}, {"SS_SUNKEN", 0x1000L},
      {"LBS_NOTIFY", 0x1L},           {"LBS_SORT", 0x2L},           {"LBS_NOREDRAW", 0x4L},
      {"LBS_MULTIPLESEL", 0x8L},      {"LBS_HASSTRINGS", 0x40L},    {"LBS_USETABSTOPS", 0x80L},
      {"LBS_NOINTEGRALHEIGHT", 0x100L}, {"LBS_MULTICOLUMN", 0x200L}, {"LBS_WANTKEYBOARDINPUT", 0x400L},
      {"LBS_EXTENDEDSEL", 0x800L},    {"LBS_DISABLENOSCROLL", 0x1000L}, {"LBS_NOSEL", 0x4000L},
      {"LBS_STANDARD", 0x00A00003L},
      {"CBS_SIMPLE", 0x1L},           {"CBS_DROPDOWN", 0x2L},       {"CBS_DROPDOWNLIST", 0x3L},
      {"CBS_AUTOHSCROLL", 0x40L},     {"CBS_SORT", 0x100L},         {"CBS_HASSTRINGS", 0x200L},
      {"IDOK", 1}, {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4}, {"IDIGNORE", 5}, {"IDYES", 6},
      {"IDNO", 7}, {"IDC_STATIC", -1},
  };
  return table;
}

class Parser {
 public:
  Parser(std::string path, std::string text) : path_(std::move(path)), text_(std::move(text)) { Advance(); }

  std::vector<Dialog> Script() {
    std::vector<Dialog> dialogs;
    while (token_.kind != Token::End) {
      if (IsName("LANGUAGE")) {
        SkipLine();
        continue;
      }
      if (IsName("STRINGTABLE")) {
        Advance();
        SkipBlock();
        continue;
      }
      Token name = Take();
      if (token_.kind != Token::Name) Fail("a resource type after " + name.text);
      std::string type = Take().text;
      if (type == "DIALOG" || type == "DIALOGEX") {
        dialogs.push_back(ParseDialog(Value(name)));
      } else if (type == "VERSIONINFO" || type == "MENU" || type == "MENUEX" || type == "ACCELERATORS" ||
                 type == "DLGINIT" || type == "TOOLBAR") {
        SkipBlock();
      } else {
        SkipLine(name.line);
      }
    }
    return dialogs;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error(path_ + ":" + std::to_string(token_.line) + ": expected " + what + ", found '" +
                             token_.text + "'");
  }

  bool IsName(const char* name) const { return token_.kind == Token::Name && token_.text == name; }
  bool IsPunct(char c) const { return token_.kind == Token::Punct && token_.text[0] == c; }

  Token Take() {
    Token t = token_;
    Advance();
    return t;
  }

  void Expect(char c) {
    if (!IsPunct(c)) Fail(std::string("'") + c + "'");
    Advance();
  }

  bool Accept(char c) {
    if (!IsPunct(c)) return false;
    Advance();
    return true;
  }

  void SkipLine(int line = -1) {
    if (line < 0) line = token_.line;
    while (token_.kind != Token::End && token_.line == line) Advance();
  }

  bool IsBegin() const { return IsName("BEGIN") || IsPunct('{'); }
  bool IsEnd() const { return IsName("END") || IsPunct('}'); }

  // Skips the statement's options up to its block and the block itself.
  void SkipBlock() {
    while (token_.kind != Token::End && !IsBegin()) Advance();
    int depth = 0;
    do {
      if (IsBegin()) ++depth;
      if (IsEnd()) --depth;
      Advance();
    } while (token_.kind != Token::End && depth > 0);
  }

  long Value(const Token& t) const {
    if (t.kind == Token::Number) return t.value;
    if (t.kind == Token::Name) {
      auto define = defines_.find(t.text);
      if (define != defines_.end()) return define->second;
      auto constant = Constants().find(t.text);
      if (constant != Constants().end()) return constant->second;
    }
    throw std::runtime_error(path_ + ":" + std::to_string(t.line) + ": unknown value '" + t.text + "'");
  }

  long Number() {
    bool negative = Accept('-');
    if (token_.kind != Token::Number && token_.kind != Token::Name) Fail("a number");
    long v = Value(Take());
    return negative ? -v : v;
  }

  std::string Text() {
    if (token_.kind != Token::String) Fail("a text in double quotes");
    return Take().text;
  }

  // Flags joined by "|"; "NOT flag" clears a flag from `start`.
  std::uint32_t Flags(std::uint32_t start) {
    std::uint32_t value = start;
    do {
      if (IsName("NOT")) {
        Advance();
        value &= ~static_cast<std::uint32_t>(Number());
      } else {
        value |= static_cast<std::uint32_t>(Number());
      }
    } while (Accept('|'));
    return value;
  }

  Dialog ParseDialog(long id) {
    Dialog d;
    d.id = id;
    d.x = Number();
    Expect(',');
    d.y = Number();
    Expect(',');
    d.width = Number();
    Expect(',');
    d.height = Number();
    if (Accept(',')) Number();  // help id
    bool styled = false;
    d.style = 0x80000000L | 0x00800000L | 0x00080000L;  // WS_POPUP | WS_BORDER | WS_SYSMENU
    while (!IsBegin()) {
      if (token_.kind == Token::End) Fail("BEGIN");
      std::string option = Take().text;
      if (option == "STYLE") {
        d.style = Flags(styled ? d.style : 0);
        styled = true;
      } else if (option == "EXSTYLE") {
        Flags(0);
      } else if (option == "CAPTION") {
        d.caption = Text();
        d.style |= 0x00C00000L;  // WS_CAPTION
      } else if (option == "FONT") {
        d.fontSize = Number();
        Expect(',');
        d.font = Text();
        while (Accept(',')) Number();  // weight, italic, character set
        d.style |= 0x40L;              // DS_SETFONT
      } else if (option == "CLASS" || option == "MENU") {
        Take();
      } else if (option == "LANGUAGE" || option == "CHARACTERISTICS" || option == "VERSION") {
        SkipLine(token_.line);
      } else {
        Fail("a dialog option");
      }
    }
    Advance();
    while (!IsEnd()) {
      if (token_.kind == Token::End) Fail("END");
      d.controls.push_back(ParseControl());
    }
    Advance();
    return d;
  }

  void Position(Control& c, bool sizeOptional = false) {
    c.x = Number();
    Expect(',');
    c.y = Number();
    if (sizeOptional && !IsPunct(',')) return;
    Expect(',');
    c.width = Number();
    Expect(',');
    c.height = Number();
  }

  void TrailingStyles(Control& c) {
    if (Accept(',')) {
      c.style = Flags(c.style);
      if (Accept(',')) c.exStyle = Flags(0);
    }
  }

  Control ParseControl() {
    static const std::map<std::string, std::pair<const char*, std::uint32_t>> textControls = {
        {"LTEXT", {"Static", 0x0 | 0x00020000L}},           {"CTEXT", {"Static", 0x1 | 0x00020000L}},
        {"RTEXT", {"Static", 0x2 | 0x00020000L}},           {"PUSHBUTTON", {"Button", 0x0 | 0x00010000L}},
        {"DEFPUSHBUTTON", {"Button", 0x1 | 0x00010000L}},   {"GROUPBOX", {"Button", 0x7}},
        {"CHECKBOX", {"Button", 0x2 | 0x00010000L}},        {"AUTOCHECKBOX", {"Button", 0x3 | 0x00010000L}},
        {"RADIOBUTTON", {"Button", 0x4}},                   {"AUTORADIOBUTTON", {"Button", 0x9}},
        {"STATE3", {"Button", 0x5 | 0x00010000L}},          {"AUTO3STATE", {"Button", 0x6 | 0x00010000L}},
        {"PUSHBOX", {"Button", 0xA | 0x00010000L}},
    };
    static const std::map<std::string, std::pair<const char*, std::uint32_t>> idControls = {
        {"EDITTEXT", {"Edit", 0x00800000L | 0x00010000L}},  // ES_LEFT | WS_BORDER | WS_TABSTOP
        {"LISTBOX", {"ListBox", 0x1 | 0x00800000L}},         // LBS_NOTIFY | WS_BORDER
        {"COMBOBOX", {"ComboBox", 0x00010000L}},
        {"SCROLLBAR", {"ScrollBar", 0x0}},
    };
    Control c;
    if (token_.kind != Token::Name) Fail("a control");
    std::string kind = Take().text;
    if (auto t = textControls.find(kind); t != textControls.end()) {
      c.className = t->second.first;
      c.style = kChildVisible | t->second.second;
      c.text = Text();
      Expect(',');
      c.id = Number();
      Expect(',');
      Position(c);
      TrailingStyles(c);
    } else if (auto i = idControls.find(kind); i != idControls.end()) {
      c.className = i->second.first;
      c.style = kChildVisible | i->second.second;
      c.id = Number();
      Expect(',');
      Position(c);
      TrailingStyles(c);
    } else if (kind == "ICON") {
      c.className = "Static";
      c.style = kChildVisible | 0x3;  // SS_ICON
      c.text = token_.kind == Token::String ? Text() : std::to_string(Number());
      Expect(',');
      c.id = Number();
      Expect(',');
      Position(c, true);
      TrailingStyles(c);
    } else if (kind == "CONTROL") {
      c.text = token_.kind == Token::String ? Text() : std::to_string(Number());
      Expect(',');
      c.id = Number();
      Expect(',');
      c.className = token_.kind == Token::String ? Text() : Take().text;
      Expect(',');
      c.style = Flags(kChildVisible);
      Expect(',');
      Position(c);
      if (Accept(',')) c.exStyle = Flags(0);
    } else {
      Fail("a control statement");
    }
    return c;
  }

  // --- the tokenizer, with the preprocessor lines it understands ---

  void Advance() {
    for (;;) {
      SkipSpace();
      if (pos_ >= text_.size()) {
        token_ = {Token::End, "end of file", 0, line_};
        return;
      }
      if (text_[pos_] == '#') {
        Directive();
        continue;
      }
      break;
    }
    char c = text_[pos_];
    token_ = {Token::Punct, std::string(1, c), 0, line_};
    if (c == '"') {
      token_ = {Token::String, ReadString(), 0, line_};
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      std::size_t end = pos_;
      while (end < text_.size() && std::isalnum(static_cast<unsigned char>(text_[end]))) ++end;
      std::string digits = text_.substr(pos_, end - pos_);
      pos_ = end;
      while (!digits.empty() && (digits.back() == 'L' || digits.back() == 'l' || digits.back() == 'U')) digits.pop_back();
      token_ = {Token::Number, digits, std::stol(digits, nullptr, 0), line_};
    } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      std::size_t end = pos_;
      while (end < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[end])) || text_[end] == '_')) ++end;
      token_ = {Token::Name, text_.substr(pos_, end - pos_), 0, line_};
      pos_ = end;
    } else {
      ++pos_;
    }
  }

  void SkipSpace() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        ++pos_;
      } else if (text_.compare(pos_, 2, "//") == 0) {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else if (text_.compare(pos_, 2, "/*") == 0) {
        std::size_t end = text_.find("*/", pos_ + 2);
        end = end == std::string::npos ? text_.size() : end + 2;
        for (std::size_t i = pos_; i < end; ++i) line_ += text_[i] == '\n';
        pos_ = end;
      } else {
        break;
      }
    }
  }

  void Directive() {
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) end = text_.size();
    std::istringstream line(text_.substr(pos_, end - pos_));
    pos_ = end;
    std::string word, name;
    line >> word;
    if (word == "#define" && line >> name) {
      std::string value;
      if (line >> value) {
        try {
          defines_[name] = std::stol(value, nullptr, 0);
        } catch (const std::exception&) {
          // Not a number: not a value the dialogs use.
        }
      }
    } else if (word == "#pragma") {
      std::string rest;
      std::getline(line, rest);
      if (rest.find("code_page") != std::string::npos && rest.find("65001") == std::string::npos) {
        throw std::runtime_error(path_ + ":" + std::to_string(line_) + ": the script must be UTF-8 (code_page(65001))");
      }
    }
    // #include of system headers and #if blocks carry nothing the dialogs use.
  }

  std::string ReadString() {
    std::string out;
    ++pos_;
    for (;;) {
      if (pos_ >= text_.size() || text_[pos_] == '\n') {
        throw std::runtime_error(path_ + ":" + std::to_string(line_) + ": text without its closing quote");
      }
      char c = text_[pos_++];
      if (c == '"') {
        if (pos_ < text_.size() && text_[pos_] == '"') {
          out += '"';
          ++pos_;
          continue;
        }
        break;
      }
      if (c == '\\' && pos_ < text_.size()) {
        char e = text_[pos_++];
        switch (e) {
          case 'n': out += '\n'; break;
          case 't': out += '\t'; break;
          case 'r': out += '\r'; break;
          case 'a': out += '\b'; break;  // right-aligned text in menus; not used by dialogs
          case '\\': out += '\\'; break;
          case '"': out += '"'; break;
          default: out += '\\'; out += e; break;
        }
        continue;
      }
      out += c;
    }
    std::string cp1250;
    if (!qz::Cp1250FromUtf8(out, cp1250)) {
      throw std::runtime_error(path_ + ":" + std::to_string(line_) + ": text that Windows-1250 cannot hold: " + out);
    }
    return cp1250;
  }

  std::string path_;
  std::string text_;
  std::size_t pos_ = 0;
  int line_ = 1;
  Token token_{Token::End, "", 0, 0};
  std::map<std::string, long> defines_;
};

std::string Literal(const std::string& bytes) {
  std::string out = "\"";
  char octal[8];
  for (unsigned char c : bytes) {
    if (c == '"' || c == '\\' || c == '?' || c < 0x20 || c >= 0x7F) {
      std::snprintf(octal, sizeof octal, "\\%03o", c);
      out += octal;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Hex(std::uint32_t v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", v);
  return buffer;
}

std::string Generate(const std::vector<Dialog>& dialogs, const std::string& symbol, const std::string& source) {
  std::ostringstream out;
  out << "// Made by rcgen from " << source << "; do not edit.\n"
      << "#include \"platform/sim/DialogTemplate.h\"\n\nnamespace {\n\nusing qz::platform::sim::ControlTemplate;\n"
      << "using qz::platform::sim::DialogTemplate;\n\n";
  for (const Dialog& d : dialogs) {
    out << "const ControlTemplate kControls" << d.id << "[] = {\n";
    for (const Control& c : d.controls) {
      out << "    {" << Literal(c.className) << ", " << c.id << ", " << Literal(c.text) << ", " << c.x << ", " << c.y
          << ", " << c.width << ", " << c.height << ", " << Hex(c.style) << ", " << Hex(c.exStyle) << "},\n";
    }
    if (d.controls.empty()) out << "    {\"\", 0, \"\", 0, 0, 0, 0, 0, 0},\n";
    out << "};\n\n";
  }
  out << "const DialogTemplate kDialogs[] = {\n";
  for (const Dialog& d : dialogs) {
    out << "    {" << d.id << ", " << Literal(d.caption) << ", " << d.x << ", " << d.y << ", " << d.width << ", "
        << d.height << ", " << Hex(d.style) << ", " << Literal(d.font) << ", " << d.fontSize << ", kControls" << d.id
        << ", " << d.controls.size() << "},\n";
  }
  if (dialogs.empty()) out << "    {0, \"\", 0, 0, 0, 0, 0, \"\", 0, nullptr, 0},\n";
  out << "};\n\n}  // namespace\n\nnamespace qz::templates {\n\nextern const qz::platform::sim::DialogTemplateSet "
      << symbol << ";\nconst qz::platform::sim::DialogTemplateSet " << symbol << "{kDialogs, " << dialogs.size()
      << "};\n\n}  // namespace qz::templates\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: rcgen SCRIPT.rc OUTPUT.cpp SYMBOL\n");
    return 64;
  }
  try {
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot read ") + argv[1]);
    std::ostringstream text;
    text << in.rdbuf();
    Parser parser(argv[1], text.str());
    std::string generated = Generate(parser.Script(), argv[3], argv[1]);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << generated;
    if (!out) throw std::runtime_error(std::string("cannot write ") + argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rcgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
