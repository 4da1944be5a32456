// SPDX-License-Identifier: MIT
#include "demo/output/gif_recorder.h"

#include <cmath>
#include <vector>

#include "control/geometry/led_design.h"
#include "control/interface/led_members.h"
#include "demo/exit_status.h"
#include "demo/output/frames.h"
#include "demo/output/gif_animation.h"
#include "demo/output/safe_file.h"
#include "host/base/expected.h"
#include "host/base/try.h"
#include "host/headless/headless_container.h"

namespace glimmer {
namespace {

constexpr std::int32_t kLargestGifSide = 65535;

// Every colour a frame of this sign can hold: the background first (the GIF's background index), then the
// lit and unlit dots of its scheme (none for a Color outside the table) and the rings that are shown.
GifPalette SignColours(HeadlessContainer& host, const LED& led) {
  std::vector<Pixel> colours;
  ColorRef back;
  const auto back_colour = host.BackColor();
  colours.push_back(back_colour && gdi::OleTranslateColor(*back_colour, 0, &back) == gdi::S_OK
                        ? PixelOf(back)
                        : MakePixel(0, 0, 0));
  for (const std::int64_t shade : {0, 1})
    if (const auto dot = led.Palette().Entry(2 * std::int64_t{led.Color()} + shade))
      colours.push_back(PixelOf(*dot));
  for (const auto& child : LED::Class().design->children)
    if (const auto* ring = std::get_if<ShapeDesign>(&child))
      if (const RectangleShape* shape = host.shape(ring->name, ring->index);
          shape && shape->border_style() != 0)
        colours.push_back(PixelOf(ring->border_color));
  return GifPalette(colours);
}

// Runs the ticks into the animation; the number of ticks run, or why it stopped.
Expected<std::int64_t, std::string> RunInto(HeadlessContainer& host, GifAnimation& animation,
                                            std::int64_t ticks) {
  std::int64_t tick = 0;
  while (tick < ticks && host.RunTicks(1) == 1) {
    ++tick;
    TRY(animation.Add(host.Frame(), host.now()));
  }
  return tick;
}

// Why the GIF could not be made: the file's own reason when writing it failed, else the coder's.
void ReportRecordingFailure(const std::string& coder_error, const SafeFile& file, std::ostream& err) {
  if (const std::string written = file.WriteError(); !written.empty())
    err << "glimmer: cannot write the GIF: " << written << '\n';
  else
    err << "glimmer: cannot record the sign: " << coder_error << '\n';
}

// Form_Load, the ticks, Form_Unload, the GIF's end; or the exit status after a message.
Expected<void, int> Record(HeadlessContainer& host, GifAnimation& animation, std::int64_t ticks,
                           const SafeFile& file, std::ostream& err) {
  if (auto s = Form_Load(host.control()); !s) {
    err << "glimmer: Form_Load: " << Describe(s.error()) << '\n';
    return Unexpected<int>(kExitFailure);
  }
  const auto ran = RunInto(host, animation, ticks);
  // The last frame gives way when the next tick would come.
  const std::int64_t end = host.now() + host.timer(kTimerLED)->interval();
  std::int16_t cancel = 0;
  const Status unloaded = Form_Unload(host.control(), cancel);
  if (!ran) ReportRecordingFailure(ran.error(), file, err);
  if (!unloaded) err << "glimmer: Form_Unload: " << Describe(unloaded.error()) << '\n';
  if (!ran || !unloaded) return Unexpected<int>(kExitFailure);
  if (auto finished = animation.Finish(end); !finished) {
    ReportRecordingFailure(finished.error(), file, err);
    return Unexpected<int>(kExitFailure);
  }
  return {};
}

}  // namespace

std::int64_t OnePassTicks(double width, std::size_t text_length) {
  if (text_length == 0) return 1;
  const auto n = static_cast<std::int64_t>(std::lround(width)) / 3;
  return n + 6 * static_cast<std::int64_t>(text_length);
}

int RecordGif(const FormDescription& form, const Overrides& overrides, const RecordOptions& options,
              std::ostream& out, std::ostream& err) {
  HeadlessContainer host(LED::Class());
  if (auto s = BuildLed1(host, form.led1, overrides); !s) {
    err << "glimmer: LED1: " << Describe(s.error()) << '\n';
    return kExitFailure;
  }
  const auto width = static_cast<std::int32_t>(std::lround(host.width_pixels()));
  const auto height = static_cast<std::int32_t>(std::lround(host.height_pixels()));
  if (std::int64_t{width} * options.scale > kLargestGifSide) {
    err << "glimmer: --scale " << options.scale << " makes the sign " << std::int64_t{width} * options.scale
        << " pixels wide; a GIF holds at most " << kLargestGifSide << '\n';
    return kExitUsage;
  }
  if (!TimerWillTick(host)) {
    err << "glimmer: " << kNothingToRecord << '\n';
    return kExitFailure;
  }
  // Before any rendering, so that a path that cannot be written costs nothing. The frames go into the file
  // as they are coded, so that a long recording takes no more memory than a short one.
  auto file = SafeFile::Open(options.file);
  if (!file) {
    err << "glimmer: cannot write the GIF: " << file.error() << '\n';
    return kExitFailure;
  }
  auto& led = host.control_as<LED>();
  GifAnimation animation(width, height, SignColours(host, led), options.scale, led.Repeated() == True,
                         [&file](std::string_view bytes) { return file->Write(bytes); });
  // Written into standard output, the lines would be mixed into the picture: they are left out then.
  const bool lines = !file->is_standard_output();
  host.on_event = [&](DispId event) {
    if (lines && event == kTerminateEvent) out << "Terminate " << host.ticks() << '\n';
  };
  const auto recorded =
      Record(host, animation, options.ticks.value_or(OnePassTicks(width, led.Value().size())), *file, err);
  out.flush();
  if (!recorded) return recorded.error();  // the file is dropped, and any old one stays
  if (auto done = file->Commit(); !done) {
    err << "glimmer: cannot write the GIF: " << done.error() << '\n';
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace glimmer
