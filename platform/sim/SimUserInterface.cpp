#include "platform/sim/SimUserInterface.h"

#include <cstring>

#include "platform/sim/SimList.h"

namespace qz::platform::sim {
namespace {

const char* ButtonsName(Buttons buttons) { return buttons == Buttons::YesNo ? "Yes/No" : "OK"; }

const char* IconName(Icon icon) {
  switch (icon) {
    case Icon::Exclamation: return "exclamation";
    case Icon::Stop: return "stop";
    case Icon::Question: return "question";
    case Icon::Information: return "information";
    case Icon::None: break;
  }
  return "no icon";
}

const char* AnswerName(int answer) {
  switch (answer) {
    case kIdOk: return "OK";
    case kIdCancel: return "Cancel";
    case kIdYes: return "Yes";
    case kIdNo: return "No";
  }
  return "?";
}

// Continuation lines of a multi-line text are indented, so every transcript
// line shows what it belongs to.
std::string Indented(std::string_view text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '\n') out += "    ";
  }
  return out;
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  out += Indented(text);
  out += '"';
  return out;
}

bool IsButton(const ControlTemplate& t) {
  return std::strcmp(t.className, "Button") == 0 && (t.style & kButtonTypeMask) != kButtonGroupBox;
}

class SimBitmap : public Bitmap {
 public:
  SimBitmap(int width, int height) : width_(width), height_(height) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }

 private:
  int width_, height_;
};

std::uint32_t Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

// --- the recorded painting ---

std::vector<const DrawOp*> Painting::Of(DrawOp::Kind kind) const& {
  std::vector<const DrawOp*> found;
  for (const DrawOp& op : ops) {
    if (op.kind == kind) found.push_back(&op);
  }
  return found;
}

void RecordingCanvas::FillRect(const Rect& rect, Color color) {
  DrawOp op;
  op.kind = DrawOp::Fill;
  op.rect = rect;
  op.color = color;
  painting_.ops.push_back(std::move(op));
}

int RecordingCanvas::MakeFont(const FontSpec& spec) {
  painting_.fontsMade.push_back(spec);
  return static_cast<int>(painting_.fontsMade.size()) - 1;
}

void RecordingCanvas::SelectFont(int font) {
  if (font < -1 || font >= static_cast<int>(painting_.fontsMade.size())) {
    throw std::logic_error("a font selected that was never made");
  }
  selected_ = font;
}

void RecordingCanvas::WriteText(const char* text, const Rect& rect, unsigned format) {
  DrawOp op;
  op.kind = DrawOp::Text;
  op.rect = rect;
  op.color = textColor_;
  op.text = text;
  op.format = format;
  if (selected_ >= 0) op.font = painting_.fontsMade[static_cast<std::size_t>(selected_)];
  op.transparent = transparent_;
  painting_.ops.push_back(std::move(op));
}

void RecordingCanvas::DrawBitmap(const Bitmap& bitmap, int x, int y) {
  DrawOp op;
  op.kind = DrawOp::Image;
  op.x = x;
  op.y = y;
  op.width = bitmap.Width();
  op.height = bitmap.Height();
  painting_.ops.push_back(std::move(op));
}

Painting RecordingCanvas::Finish() {
  // The canvas itself puts the first font back and deletes the fonts made.
  selected_ = -1;
  return std::move(painting_);
}

// --- dialogs ---

struct SimDialog::Control {
  const ControlTemplate* tpl;
  std::string text;
  bool enabled;
  std::unique_ptr<List> list;
  bool convertible = true;  // false: typed with characters Windows-1250 lacks
};

// A dialog's list box: keeps its lines and selection, and writes each line
// added to the transcript.
class SimDialog::List : public ListControl {
 public:
  List(SimUserInterface& ui, int id) : ui_(ui), id_(id) {}
  void AddString(const char* text) override {
    list_.AddString(text);
    ui_.Record("List " + std::to_string(id_) + ": " + Indented(text));
  }
  void SelectString(int start, const char* prefix) override { list_.SelectString(start, prefix); }
  const SimList& list() const { return list_; }

 private:
  SimUserInterface& ui_;
  int id_;
  SimList list_;
};

SimDialog::SimDialog(SimUserInterface& ui, const DialogTemplate& tpl, DialogHandler& handler)
    : ui_(ui), template_(tpl), handler_(handler), caption_(tpl.caption) {
  for (std::size_t i = 0; i < tpl.controlCount; ++i) {
    const ControlTemplate& t = tpl.controls[i];
    auto control = std::make_unique<Control>(Control{&t, t.text, (t.style & kStyleDisabled) == 0, nullptr});
    if (std::strcmp(t.className, "ListBox") == 0) control->list = std::make_unique<List>(ui, t.id);
    controls_.push_back(std::move(control));
  }
}

SimDialog::~SimDialog() = default;

SimDialog::Control* SimDialog::Find(int id) {
  for (auto& c : controls_) {
    if (c->tpl->id == id && id != -1) return c.get();
  }
  return nullptr;
}

const SimDialog::Control* SimDialog::Find(int id) const { return const_cast<SimDialog*>(this)->Find(id); }

int SimDialog::ShowMessage(const char* text, const char* caption, Buttons buttons, Icon icon) {
  return ui_.Ask(text, caption, buttons, icon);
}

void SimDialog::SetItemText(int id, const char* text) {
  if (Control* c = Find(id)) {
    c->text = text;
    c->convertible = true;
  }
}

std::size_t SimDialog::GetItemText(int id, TextBuffer& text) {
  const Control* c = Find(id);
  text.Assign(c ? c->text : std::string());
  if (!c) return 0;
  return c->convertible ? c->text.size() : kTextNotConvertible;
}

void SimDialog::EnableItem(int id, bool enabled) {
  Control* c = Find(id);
  if (!c || c->enabled == enabled) return;
  c->enabled = enabled;
  if (shown_) ui_.Record(std::string(enabled ? "Enabled " : "Disabled ") + std::to_string(id) + " " + Quoted(c->text));
}

bool SimDialog::IsItemEnabled(int id) {
  const Control* c = Find(id);
  return c && c->enabled;
}

void SimDialog::SetCaption(const char* text) {
  caption_ = text;
  if (shown_) ui_.Record("Caption " + Quoted(caption_));
}

void SimDialog::GetCaption(TextBuffer& text) { text.Assign(caption_); }

ListControl& SimDialog::ListBox(int id) {
  Control* c = Find(id);
  if (!c || !c->list) throw std::logic_error("dialog " + std::to_string(TemplateId()) + " has no list box " + std::to_string(id));
  return *c->list;
}

int SimDialog::ListCount(int id) {
  const Control* c = Find(id);
  return c && c->list ? static_cast<int>(c->list->list().items().size()) : -1;
}

void SimDialog::ListLine(int id, int index, TextBuffer& text) {
  text.Clear();
  const Control* c = Find(id);
  if (!c || !c->list || index < 0 || index >= static_cast<int>(c->list->list().items().size())) return;
  text.Assign(c->list->list().items()[static_cast<std::size_t>(index)]);
}

int SimDialog::ListSelection(int id) {
  const Control* c = Find(id);
  return c && c->list ? c->list->list().selected() : -1;
}

void SimDialog::PostCommand(int id) { posted_.push_back(id); }

void SimDialog::SetFocus(int id) {
  if (!Find(id)) return;
  focus_ = id;
  focusSet_ = true;
}

void SimDialog::FocusFirstTabStop() {
  for (const auto& c : controls_) {
    if ((c->tpl->style & kStyleTabStop) && c->enabled && c->tpl->id != -1) {
      focus_ = c->tpl->id;
      return;
    }
  }
}

void SimDialog::End(int result) {
  if (ended_) return;
  ended_ = true;
  result_ = result;
}

bool SimDialog::BrowseForFolder(const char* title, TextBuffer& path) {
  ui_.Record(std::string("Folder browser ") + Quoted(title));
  std::string folder;
  bool chosen = ui_.Operator("the folder browser").Browse(title, folder);
  // A folder whose path does not fit MAX_PATH cannot be chosen.
  if (chosen && folder.size() >= 260) chosen = false;
  ui_.Record(chosen ? "> " + Quoted(folder) : std::string("> Cancel"));
  ++actions_;
  if (chosen) path.Assign(folder);
  return chosen;
}

bool SimDialog::HasControl(int id) const { return Find(id) != nullptr; }

std::string SimDialog::Text(int id) const {
  const Control* c = Find(id);
  return c ? c->text : std::string();
}

bool SimDialog::IsEnabled(int id) const {
  const Control* c = Find(id);
  return c && c->enabled;
}

std::vector<std::string> SimDialog::ListLines(int id) const {
  const Control* c = Find(id);
  return c && c->list ? c->list->list().items() : std::vector<std::string>();
}

int SimDialog::DefaultButton() const {
  for (const auto& c : controls_) {
    if (std::strcmp(c->tpl->className, "Button") == 0 && (c->tpl->style & kButtonTypeMask) == kButtonDefPush) {
      return c->tpl->id;
    }
  }
  return 0;
}

SimDialog::Control& SimDialog::Require(int id, const char* action) {
  Control* c = Find(id);
  std::string where = "dialog " + std::to_string(TemplateId());
  if (ended_) throw OperatorStuck("cannot " + std::string(action) + " on " + where + ": it has closed");
  if (!c) throw OperatorStuck(where + " has no control " + std::to_string(id) + " to " + action);
  if (!c->enabled) throw OperatorStuck("control " + std::to_string(id) + " of " + where + " is disabled: cannot " + action);
  return *c;
}

void SimDialog::Act(std::string line) {
  if (ended_) throw OperatorStuck("dialog " + std::to_string(TemplateId()) + " has closed: cannot " + line);
  ++actions_;
  ui_.Record("> " + line);
}

void SimDialog::Command(int id) { handler_.Dispatch(*this, id); }

void SimDialog::Type(int id, std::string_view text) { Type(id, text, true); }

void SimDialog::TypeNotConvertible(int id, std::string_view shown) { Type(id, shown, false); }

void SimDialog::Type(int id, std::string_view text, bool convertible) {
  Control& c = Require(id, "type into");
  if (std::strcmp(c.tpl->className, "Edit") != 0 || (c.tpl->style & kEditReadOnly)) {
    throw OperatorStuck("control " + std::to_string(id) + " of dialog " + std::to_string(TemplateId()) +
                        " does not take typing");
  }
  Act("Type " + std::to_string(id) + " " + Quoted(text) + (convertible ? "" : " (not Windows-1250)"));
  c.text = text;
  c.convertible = convertible;
  focus_ = id;
}

void SimDialog::Click(int id) {
  Control& c = Require(id, "click");
  if (!IsButton(*c.tpl)) {
    throw OperatorStuck("control " + std::to_string(id) + " of dialog " + std::to_string(TemplateId()) + " is no button");
  }
  Act("Click " + std::to_string(id) + " " + Quoted(c.text));
  Command(id);
}

// Enter presses the push button that has the focus; otherwise the default
// push button when it is enabled (nothing when it is disabled); a dialog
// without one receives IDOK.
void SimDialog::Enter() {
  Act("Enter");
  const Control* focused = Find(focus_);
  if (focused && IsButton(*focused->tpl) && (focused->tpl->style & kButtonTypeMask) <= kButtonDefPush) {
    if (focused->enabled) Command(focus_);
    return;
  }
  int button = DefaultButton();
  if (button == 0) {
    Command(kIdOk);
  } else if (IsEnabled(button)) {
    Command(button);
  }
}

void SimDialog::Escape() {
  Act("Esc");
  Command(kIdCancel);
}

// The close box, where the template gives a system menu: IDCANCEL, unless
// the dialog's Cancel button is disabled.
void SimDialog::Close() {
  if (!HasCloseBox()) throw OperatorStuck("dialog " + std::to_string(TemplateId()) + " has no close box");
  Act("Close");
  const Control* cancel = Find(kIdCancel);
  if (!cancel || cancel->enabled) Command(kIdCancel);
}

void SimDialog::HideAndShow() {
  Act("Hide and show");
  handler_.OnShow(*this);
  handler_.OnShow(*this);
}

// --- the user interface ---

void SimUserInterface::SetScreen(int width, int height, int dpiY) {
  width_ = width;
  height_ = height;
  dpiY_ = dpiY;
}

void SimUserInterface::Record(std::string line) {
  transcript_.push_back(std::move(line));
  if (echo_) echo_(transcript_.back());
}

std::string SimUserInterface::TranscriptText() const {
  std::string text;
  for (const std::string& line : transcript_) text += line + "\n";
  return text;
}

SimOperator& SimUserInterface::Operator(const std::string& what) {
  if (!operator_) throw OperatorStuck("no operator to answer " + what);
  return *operator_;
}

int SimUserInterface::RunDialog(DialogHandler& handler) {
  const DialogTemplate* tpl = templates_ ? templates_->Find(handler.TemplateId()) : nullptr;
  if (!tpl) {
    Record("Dialog " + std::to_string(handler.TemplateId()) + " cannot be created");
    return -1;
  }
  SimDialog dialog(*this, *tpl, handler);
  open_.push_back(&dialog);
  struct Leave {
    std::vector<SimDialog*>& open;
    ~Leave() { open.pop_back(); }
  } leave{open_};
  handler.OnInit(dialog);
  if (!dialog.focusSet_) dialog.FocusFirstTabStop();
  shown_.push_back(tpl->id);
  Record("Dialog " + std::to_string(tpl->id) + " " + Quoted(dialog.caption_));
  dialog.shown_ = true;
  handler.OnShow(dialog);
  RecordingCanvas canvas({0, 0, tpl->width * 6 / 4, tpl->height * 13 / 8}, dpiY_);
  handler.OnPaint(dialog, canvas);
  dialog.painting_ = canvas.Finish();

  while (!dialog.ended_) {
    if (!dialog.posted_.empty()) {
      int id = dialog.posted_.front();
      dialog.posted_.erase(dialog.posted_.begin());
      dialog.Command(id);
      continue;
    }
    int before = dialog.actions_;
    std::string where = "dialog " + std::to_string(tpl->id) + " " + Quoted(dialog.caption_);
    if (!Operator(where).Act(dialog) || dialog.actions_ == before) {
      throw OperatorStuck("the operator has nothing left to do on " + where);
    }
  }
  Record("Dialog " + std::to_string(tpl->id) + " ends with " + std::to_string(dialog.result_));
  BackToMainWindow();
  return dialog.result_;
}

int SimUserInterface::Ask(const char* text, const char* caption, Buttons buttons, Icon icon) {
  Record(std::string("Message box ") + Quoted(caption) + " (" + ButtonsName(buttons) + ", " + IconName(icon) +
         "): " + Indented(text));
  MessageBoxView view{text, caption, buttons, icon};
  int answer = Operator("a message box").Answer(view);
  bool valid = buttons == Buttons::YesNo ? (answer == kIdYes || answer == kIdNo) : answer == kIdOk;
  if (!valid) throw OperatorStuck(std::string("a message box has no button ") + AnswerName(answer));
  Record(std::string("> ") + AnswerName(answer));
  BackToMainWindow();
  return answer;
}

int SimUserInterface::ShowMessage(const char* text, const char* caption, Buttons buttons, Icon icon) {
  return Ask(text, caption, buttons, icon);
}

// A closed dialog or message box uncovers the main window, which is
// repainted and activated again.
void SimUserInterface::BackToMainWindow() {
  if (!main_ || closeRequested_) return;
  PaintMainWindow();
  main_->OnActivate();
}

void SimUserInterface::PaintMainWindow() {
  RecordingCanvas canvas({0, 0, width_, height_}, dpiY_);
  main_->OnEraseBackground(canvas);
  main_->OnPaint(canvas);
  mainPainting_ = std::make_unique<Painting>(canvas.Finish());
  ++mainPaintCount_;
  std::string texts;
  for (const DrawOp* op : mainPainting_->Of(DrawOp::Text)) {
    if (op->color == Color{255, 255, 255}) texts += (texts.empty() ? "" : " | ") + op->text;
  }
  if (texts != mainTexts_) {
    mainTexts_ = texts;
    Record("Main window shows " + Quoted(texts));
  }
}

void SimUserInterface::RunMainWindow(const char* caption, MainWindowHandler& handler) {
  if (main_) throw std::logic_error("the main window is open already");
  main_ = &handler;
  closeRequested_ = false;
  Record(std::string("Main window ") + Quoted(caption));
  PaintMainWindow();
  handler.OnActivate();
  main_ = nullptr;
  if (!closeRequested_) throw OperatorStuck("the main window stays open with nothing left to do");
  Record("Main window closed");
}

void SimUserInterface::CloseMainWindow() { closeRequested_ = true; }

// LoadImageA of a device-independent bitmap: a "BM" file with a core or
// info header, one plane, a known bit depth, and its pixels all there.
std::unique_ptr<Bitmap> SimUserInterface::LoadBitmapFile(const char* path) {
  ErrorCode error = kOk;
  auto file = files_.OpenForReading(path, kShareReadWrite, error);
  if (!file) return nullptr;
  std::string bytes;
  char buffer[4096];
  std::size_t got = 0;
  while (file->Read(buffer, sizeof buffer, got) && got > 0) {
    bytes.append(buffer, got);
    if (bytes.size() > (64u << 20)) return nullptr;
  }
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() < 26 || p[0] != 'B' || p[1] != 'M') return nullptr;
  std::uint32_t offset = Le32(p + 10);
  std::uint32_t headerSize = Le32(p + 14);
  std::int64_t width = 0, height = 0;
  unsigned planes = 0, bits = 0, compression = 0;
  if (headerSize == 12) {
    width = Le16(p + 18);
    height = Le16(p + 20);
    planes = Le16(p + 22);
    bits = Le16(p + 24);
  } else if (headerSize >= 40 && bytes.size() >= 14 + 40) {
    width = static_cast<std::int32_t>(Le32(p + 18));
    height = static_cast<std::int32_t>(Le32(p + 22));
    planes = Le16(p + 26);
    bits = Le16(p + 28);
    compression = Le32(p + 30);
  } else {
    return nullptr;
  }
  if (height < 0) height = -height;
  bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  if (planes != 1 || !knownDepth || width <= 0 || height <= 0 || width > 32767 || height > 32767) return nullptr;
  if (compression == 0 || compression == 3) {
    std::int64_t row = ((width * bits + 31) / 32) * 4;
    if (static_cast<std::int64_t>(offset) + row * height > static_cast<std::int64_t>(bytes.size())) return nullptr;
  } else if (offset >= bytes.size()) {
    return nullptr;
  }
  return std::make_unique<SimBitmap>(static_cast<int>(width), static_cast<int>(height));
}

}  // namespace qz::platform::sim
