#!/usr/bin/python3
# Loads a background slide show with the GNOME desktop library's own parser
# (GnomeBG through GObject introspection) and prints what it found: the
# number of slides (images and transitions), the total duration, the start
# time, and each image with how long it stays.
#   slide_show_parse.py FILE.xml
import sys

import gi

gi.require_version("GnomeBG", "4.0")
from gi.repository import GnomeBG  # noqa: E402

show = GnomeBG.BGSlideShow.new(sys.argv[1])
if not show.load():
    print("not loaded: the parser refused the file")
    sys.exit(1)
slides = show.get_num_slides()
print(f"slides {slides}")
print(f"total {show.get_total_duration():.1f}")
print(f"start {show.get_start_time():.0f}")
for i in range(slides):
    found, _progress, duration, fixed, first, _second = show.get_slide(i, 1024, 768)
    if found and fixed:
        print(f"image {duration:.1f} {first}")
