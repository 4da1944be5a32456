// SPDX-License-Identifier: MIT
#include "demo/cli/command_line.h"

#include <glimmer/version.h>

#include <CLI/CLI.hpp>
#include <array>
#include <charconv>
#include <limits>
#include <string_view>
#include <vector>

#include "demo/messages/message_text.h"
#include "host/automation/property_value.h"

namespace glimmer {
namespace {

// The widest sign the drawing layer holds (16382 = 3n + 2 keeps its size under the size rule).
constexpr std::int32_t kMaxWidth = 16382;
// Larger GIF dots than this help nobody, and the picture must stay within GIF's 65535 pixels.
constexpr std::int32_t kMaxScale = 16;

std::optional<std::int64_t> WholeNumber(const std::string& text) {
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A whole decimal number from `lo` to `hi`, of what `unit` says. The text is handed on without its leading
// zeros, which CLI11 would take for an octal number.
CLI::Validator WholeIn(std::int64_t lo, std::int64_t hi, const std::string& unit) {
  return CLI::Validator(
      [=](std::string& text) -> std::string {
        const auto v = WholeNumber(text);
        if (v && *v >= lo && *v <= hi) {
          text = std::to_string(*v);
          return {};
        }
        return "'" + text + "' is not " + unit + " from " + std::to_string(lo) + " to " + std::to_string(hi);
      },
      "", "whole number");
}

// A file or folder name; an empty one names nothing.
CLI::Validator NotEmpty(const std::string& what) {
  return CLI::Validator(
      [=](std::string& text) -> std::string {
        return text.empty() ? "the name of the " + what + " is empty" : "";
      },
      "", "name");
}

// One of the names; the text becomes the name's index.
template <std::size_t N>
CLI::Validator OneOf(std::array<std::string_view, N> names, bool indices_too) {
  std::string list;
  for (std::size_t i = 0; i < N; ++i)
    list += std::string(i == 0 ? "" : i + 1 == N ? " or " : ", ") + std::string(names[i]);
  if (indices_too) list += " (or 0 to " + std::to_string(N - 1) + ")";
  return CLI::Validator(
      [=](std::string& text) -> std::string {
        const auto index = WholeNumber(text);
        for (std::size_t i = 0; i < N; ++i)
          if (text == names[i] || (indices_too && index == static_cast<std::int64_t>(i))) {
            text = std::to_string(i);
            return {};
          }
        return "'" + text + "' is not one of " + list;
      },
      "", "choice");
}

// What the options are parsed into before they become a CommandLine.
struct Raw {
  std::string text, color, border, glyphs;
  std::int64_t delay = -1, width = -1;
  bool once = false, repeat = false, upper = false;
};

void AddOverrides(CLI::App& app, Raw& raw) {
  app.add_option(
         "--text", raw.text,
         "Text to scroll (UTF-8; the sign shows 0-9, A-Z, '-', ':' and space, and more with --glyphs)")
      ->type_name("TEXT");
  app.add_option("--color", raw.color, "Colour scheme")
      ->type_name("red|green|yellow|0|1|2")
      ->transform(OneOf(std::array<std::string_view, 3>{"red", "green", "yellow"}, true));
  app.add_option("--delay", raw.delay, "Milliseconds between two steps of the scroll (0 stops it)")
      ->type_name("MS")
      ->transform(WholeIn(0, std::numeric_limits<std::int16_t>::max(), "a number of milliseconds"));
  auto* once_flag =
      app.add_flag("--once", raw.once, "Scroll the text once, then stop")->disable_flag_override();
  auto* repeat_flag =
      app.add_flag("--repeat", raw.repeat, "Start the text again after every pass")->disable_flag_override();
  once_flag->excludes(repeat_flag);
  app.add_option("--border", raw.border, "Show the two border rings")
      ->type_name("on|off")
      ->transform(OneOf(std::array<std::string_view, 2>{"off", "on"}, false));
  app.add_option("--glyphs", raw.glyphs,
                 "The glyphs to draw the text with: the capitals (the default), all of printable ASCII, or "
                 "ASCII and the Latin-1 letters and signs")
      ->type_name("capitals|ascii|latin1")
      ->transform(OneOf(kGlyphSetNames, false));
  app.add_flag("--upper", raw.upper, "Show small letters as capitals")->disable_flag_override();
  app.add_option("--width", raw.width, "Width of the sign in pixels; it snaps to 3n + 2 and is 32 high")
      ->type_name("PIXELS")
      ->transform(WholeIn(0, kMaxWidth, "a width in pixels"));
}

// The things the program can do instead of opening the window; at most one of them.
void AddModes(CLI::App& app, CommandLine& line) {
  app.add_option("--form", line.form_file,
                 "Open this form instead of the built-in one: a TOML description, or a form made in Qt "
                 "Designer (FILE.ui, in a window only)")
      ->type_name("FILE")
      ->check(NotEmpty("file"));
  auto* save =
      app.add_option("--save", line.save_file,
                     "Write the form description as it would open, then exit (- for standard output)")
          ->type_name("FILE")
          ->check(NotEmpty("file"));
  auto* frames =
      app.add_option("--frames", line.frames_dir, "Render without a window: one PNG per tick into DIR")
          ->type_name("DIR")
          ->check(NotEmpty("folder"));
  auto* record =
      app.add_option("--record", line.record_file,
                     "Render without a window into an animated GIF (one pass unless --ticks; - for "
                     "standard output)")
          ->type_name("FILE.gif")
          ->check(NotEmpty("file"));
  auto* terminal = app.add_flag("--terminal", line.terminal, "Show the running sign in this terminal")
                       ->disable_flag_override();
  auto* ticks = app.add_option("--ticks", line.ticks, "How many ticks --frames or --record renders")
                    ->type_name("N")
                    ->transform(WholeIn(0, std::numeric_limits<std::int32_t>::max(), "a number of ticks"));
  app.add_option("--scale", line.scale, "Draw every pixel of the GIF as a K x K square")
      ->type_name("K")
      ->transform(WholeIn(1, kMaxScale, "a scale"))
      ->needs(record);
  frames->needs(ticks);
  const std::array<CLI::Option*, 4> modes{save, frames, record, terminal};
  for (std::size_t i = 0; i < modes.size(); ++i)
    for (std::size_t j = i + 1; j < modes.size(); ++j)
      modes[i]->excludes(modes[j]);
}

// What CLI11 cannot say by itself; an empty text when all is well.
std::string Conflict(const CommandLine& line) {
  if (line.ticks && !line.frames_dir && !line.record_file) return "--ticks requires --frames or --record";
  if (line.record_file && line.ticks == 0) return "--ticks: --record needs at least 1 tick";
  if (line.frames_dir && line.ticks == 0) return "--ticks: --frames needs at least 1 tick";
  return {};
}

// The arguments as CLI11 is to read them: "--name=" with nothing after the '=' becomes "--name" and an
// empty argument, so that it means what --name "" means (CLI11 would take the next argument instead).
std::vector<std::string> Arguments(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (i > 0 && arg.starts_with("--") && arg.find('=') == arg.size() - 1) {
      args.emplace_back(arg.substr(0, arg.size() - 1));
      args.emplace_back();
    } else {
      args.emplace_back(arg);
    }
  }
  return args;
}

// CLI11's message, in this program's words where CLI11's own are obscure.
std::string Explained(const CLI::ParseError& e) {
  const std::string what = e.what();
  constexpr std::string_view kOverride = " was given a disallowed flag override";
  if (what.ends_with(kOverride))
    return "--" + what.substr(0, what.size() - kOverride.size()) + " takes no value";
  return what;
}

Overrides ToOverrides(const CLI::App& app, const Raw& raw) {
  Overrides o;
  if (app.count("--text") > 0) o.text = FromUtf8(raw.text);
  if (!raw.color.empty()) o.color = static_cast<std::int32_t>(*WholeNumber(raw.color));
  if (raw.delay >= 0) o.delay = static_cast<std::int16_t>(raw.delay);
  if (raw.once) o.repeated = false;
  if (raw.repeat) o.repeated = true;
  if (!raw.border.empty()) o.border_style = static_cast<std::int32_t>(*WholeNumber(raw.border));
  if (raw.width >= 0) o.width = static_cast<std::int32_t>(raw.width);
  if (!raw.glyphs.empty()) o.glyphs = static_cast<GlyphSet>(*WholeNumber(raw.glyphs));
  if (raw.upper) o.upper_case = true;
  return o;
}

}  // namespace

Expected<CommandLine, int> ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                            std::ostream& err) {
  CLI::App app{
      "glimmer: a dot-matrix LED sign that scrolls its text, in a window, in a terminal, or as PNG "
      "frames or an animated GIF",
      "glimmer"};
  app.set_version_flag("--version", std::string("glimmer ") + GLIMMER_VERSION_STRING);
  CommandLine line;
  Raw raw;
  AddOverrides(app, raw);
  AddModes(app, line);
  const std::vector<std::string> args = Arguments(argc, argv);
  std::vector<const char*> pointers;
  for (const auto& a : args)
    pointers.push_back(a.c_str());
  // CLI11 reports by exception; they end here, as an exit status.
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return Unexpected<int>(kExitOk);
  } catch (const CLI::CallForVersion&) {
    out << "glimmer " << GLIMMER_VERSION_STRING << '\n';
    return Unexpected<int>(kExitOk);
  } catch (const CLI::ParseError& e) {
    err << "glimmer: " << EscapeControls(Explained(e)) << "\nRun with --help for more information.\n";
    return Unexpected<int>(kExitUsage);
  }
  if (const std::string conflict = Conflict(line); !conflict.empty()) {
    err << "glimmer: " << conflict << "\nRun with --help for more information.\n";
    return Unexpected<int>(kExitUsage);
  }
  line.overrides = ToOverrides(app, raw);
  return line;
}

}  // namespace glimmer
