#include "demo/command_line.h"

#include <CLI/CLI.hpp>
#include <array>
#include <charconv>
#include <limits>

#include "host/property_value.h"

#ifndef GLIMMER_VERSION
#define GLIMMER_VERSION "unknown"
#endif

namespace glimmer {
namespace {

// The widest sign the drawing layer holds (16382 = 3n + 2 keeps its size under the size rule).
constexpr std::int32_t kMaxWidth = 16382;

std::optional<std::int64_t> WholeNumber(const std::string& text) {
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A whole number from `lo` to `hi`, of what `unit` says.
CLI::Validator WholeIn(std::int64_t lo, std::int64_t hi, const std::string& unit) {
  return CLI::Validator(
      [=](std::string& text) -> std::string {
        const auto v = WholeNumber(text);
        if (v && *v >= lo && *v <= hi) return {};
        return "'" + text + "' is not " + unit + " from " + std::to_string(lo) + " to " + std::to_string(hi);
      },
      "", "whole number");
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
        for (std::size_t i = 0; i < N; ++i)
          if (text == names[i] || (indices_too && text == std::to_string(i))) {
            text = std::to_string(i);
            return {};
          }
        return "'" + text + "' is not one of " + list;
      },
      "", "choice");
}

void Build(CLI::App& app, CommandLine& line, std::string& text, std::string& color, std::string& border,
           std::int64_t& delay, std::int64_t& width, bool& once, bool& repeat) {
  app.set_version_flag("--version", std::string("glimmer ") + GLIMMER_VERSION);
  app.add_option("--text", text, "Text to scroll (UTF-8; the sign shows 0-9, A-Z, '-', ':' and space)")
      ->type_name("TEXT");
  app.add_option("--color", color, "Colour scheme")
      ->type_name("red|green|yellow|0|1|2")
      ->transform(OneOf(std::array<std::string_view, 3>{"red", "green", "yellow"}, true));
  app.add_option("--delay", delay, "Milliseconds between two steps of the scroll (0 stops it)")
      ->type_name("MS")
      ->check(WholeIn(0, std::numeric_limits<std::int16_t>::max(), "a number of milliseconds"));
  auto* once_flag = app.add_flag("--once", once, "Scroll the text once, then stop");
  auto* repeat_flag = app.add_flag("--repeat", repeat, "Start the text again after every pass");
  once_flag->excludes(repeat_flag);
  app.add_option("--border", border, "Show the two border rings")
      ->type_name("on|off")
      ->transform(OneOf(std::array<std::string_view, 2>{"off", "on"}, false));
  app.add_option("--width", width, "Width of the sign in pixels; it snaps to 3n + 2 and is 32 high")
      ->type_name("PIXELS")
      ->check(WholeIn(0, kMaxWidth, "a width in pixels"));
  app.add_option("--form", line.form_file, "Open this form description instead of the built-in one")
      ->type_name("FILE");
  auto* save =
      app.add_option("--save", line.save_file, "Write the form description as it would open, then exit")
          ->type_name("FILE");
  auto* frames =
      app.add_option("--frames", line.frames_dir, "Render without a window: one PNG per tick into DIR")
          ->type_name("DIR");
  auto* ticks = app.add_option("--ticks", line.ticks, "How many ticks --frames renders")
                    ->type_name("N")
                    ->check(WholeIn(0, std::numeric_limits<std::int32_t>::max(), "a number of ticks"));
  frames->needs(ticks);
  ticks->needs(frames);
  save->excludes(frames);
}

}  // namespace

std::expected<CommandLine, int> ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                                                 std::ostream& err) {
  CLI::App app{"glimmer: a dot-matrix LED sign that scrolls its text, in a window or as PNG frames",
               "glimmer"};
  CommandLine line;
  std::string text, color, border;
  std::int64_t delay = -1, width = -1;
  bool once = false, repeat = false;
  Build(app, line, text, color, border, delay, width, once, repeat);
  // CLI11 reports by exception; they end here, as an exit status.
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return std::unexpected(kExitOk);
  } catch (const CLI::CallForVersion&) {
    out << "glimmer " << GLIMMER_VERSION << '\n';
    return std::unexpected(kExitOk);
  } catch (const CLI::ParseError& e) {
    err << "glimmer: " << e.what() << "\nRun with --help for more information.\n";
    return std::unexpected(kExitUsage);
  }
  Overrides& o = line.overrides;
  if (app.count("--text") > 0) o.text = FromUtf8(text);
  if (!color.empty()) o.color = static_cast<std::int32_t>(*WholeNumber(color));
  if (delay >= 0) o.delay = static_cast<std::int16_t>(delay);
  if (once) o.repeated = false;
  if (repeat) o.repeated = true;
  if (!border.empty()) o.border_style = static_cast<std::int32_t>(*WholeNumber(border));
  if (width >= 0) o.width = static_cast<std::int32_t>(width);
  return line;
}

}  // namespace glimmer
