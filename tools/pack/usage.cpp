#include "usage.h"

namespace tovrin {

const char* const PackUsageText =
    R"(tovrin-pack: makes, inspects and unpacks finished screen savers.

Usage:
  tovrin-pack build [--engine ENGINE] -o OUT [options] PICTURE...
  tovrin-pack inspect FILE [--json]
  tovrin-pack extract FILE DIR
  tovrin-pack --help

build
  Writes OUT: a copy of ENGINE, then the pictures in the order given, the sounds, the movies, the
  show settings and the package trailer. Without --engine the engine built beside this tool is
  used (tovrin next to tovrin-pack, or ../../src/app/tovrin in a build tree). Pictures must be JPEG
  files. OUT appears complete or not at all: on any error nothing is written and an existing OUT
  is left as it was. Refused: files that cannot be read or are not regular files, pictures that
  are not JPEG files, an OUT that is one of the inputs, two sounds or movies with the same file
  name (letter case ignored), and a result of 2 GiB or more (checked before writing).
  With many pictures a progress line is shown when standard error is a terminal.

  --engine FILE        the engine executable to copy
  -o, --output FILE    the screen saver to write
  --settings FILE      read settings from an INI file (below); options given here override it
  --text TEXT          caption drawn on every other picture (default: none)
  --font-name NAME     caption font face (default: MS Sans Serif)
  --font-size POINTS   caption size in points, 1 to 1000, for a 96 pixels-per-inch screen:
                       stored height = -MulDiv(POINTS, 96, 72), so 24 points -> -32 (default: 8)
  --font-height N      the stored height itself, -1000 to 1000 (negative: character height)
  --font-color COLOR   caption colour (default: clWindowText). COLOR is a colour name (clRed,
                       clWhite, clYellow, clWindowText, ...; letter case ignored), #RRGGBB in web
                       order (#FF0000 is red), 0xBBGGRR as stored (0x0000FF is red), or a decimal
                       number (the stored value)
  --font-charset CS    character set: a name such as ANSI_CHARSET, or 0 to 255 (default: 1)
  --font-style LIST    bold, italic, underline, strikeout, comma separated (default: none)
  --interval MS        pause after each transition in milliseconds (default: 5000; 0 shows only
                       the first picture)
  --effects LIST       transition style numbers 0 to 127, e.g. 5,9,12 (default: none, which
                       shows every picture without a transition)
  --random-pictures    show the pictures in random order
  --random-effects     pick each transition at random from the list
  --stretch            scale the pictures to the screen (default: centred at their own size)
  --clear-old          clear the screen before each transition
  --sound FILE         add a sound file (repeatable; played in the order given)
  --sound-order ORDER  list (0, the default), random (2: a random track each time) or repeat-one
                       (3: one track picked at random, then repeated); or any number
  --sound-loop         set the stored sound-loop flag
  --mute               no sound unless the user's setup choice says otherwise
  --movie FILE         add a movie file (repeatable)
  --kind KIND          kind of show: photo (the default) or flash; stored as given
  --title TEXT, --author TEXT, --email TEXT, --web TEXT
                       texts shown by the setup dialog
  Yes/no options also take a value: --stretch=no, --mute=yes (1/0, true/false, on/off).
  Texts are taken as UTF-8 and stored in Windows-1252; a character it cannot hold is refused.
  The picture file names are stored in the settings; sounds and movies are stored under their
  file names (base names, which the engine extracts them under).

  Settings file (--settings): an INI file in UTF-8 with one section [Settings] and one key per
  setting, named as the settings object's properties:
    Text, TextFont.Name, TextFont.Size (points) or TextFont.Height, TextFont.Color,
    TextFont.Charset, TextFont.Style, TextFont.Pitch (default, variable, fixed), lRandomPic,
    lRandomStyle, lClearOldImage, lStretch, Interval, SoundRandom, lSoundLoop, lMute, Title,
    Author, Email, Web, Ver, EffectCommaList, DescriptCommaList
  Values take the same forms as the options. Unknown keys and sections are refused, and so are
  the offset, name and size lists, which the tool computes. Example:
    [Settings]
    Text=Summer 2026
    TextFont.Size=24
    TextFont.Color=clYellow
    Interval=4000
    EffectCommaList=5,9,12
    lStretch=1

inspect
  Prints the package trailer, the settings and a line for every picture, sound and movie. Every
  picture item is read as the show reads it. With --json one line of JSON:
    {"packageLength": N, "settingsOffset": N, "settings": {...}, "pictures": [...],
     "sounds": [...], "movies": [...]}
  settings: one member per property (Booleans true/false, integers as numbers, texts as UTF-8
  strings, comma lists as arrays of strings) and "TextFont": {"Name", "Height", "Color",
  "Charset", "Style" (array of names), "Pitch" (name)}; pictures: [{"offset", "width", "height",
  "jpegLength", "grayscale", "progressive"}]; sounds and movies: [{"offset", "name", "size"}].

extract
  Writes every picture of FILE into DIR as a .jpg file, under its stored file name (picture-N.jpg
  when that is missing, not a plain name or already taken), and every sound and movie under its
  stored name. Those names must be plain file names: a name with a path separator, a drive, "..",
  or an empty name is refused before anything is written, as is a name stored twice (letter case
  ignored). DIR is created when missing; files of the same names in it are replaced.

Exit status: 0 success, 1 a refused input or a failure (the message on standard error), 2 a
mistake on the command line.
)";

}  // namespace tovrin
