#pragma once

#include "builder/workflow/book_settings.h"
#include "cli/cli_options.h"

#include <QString>

// What a run makes its book of besides the options themselves, in the order they give way: the command line, then
// the page list file given with --list, then what the window saved in config.ini, then the defaults.

// `options` with the page list file of --list taken in: its pictures before those of the command line, and its
// title, author, cover, language, series, number and kind of book wherever the command line gave none. Raises
// BookListError when the list cannot be read or names a language or number of the wrong form.
CliOptions WithPageList(const CliOptions& options);

// The book's language: the one `options` name, else the one the window saved in `configIni`, else the system's.
QString ChosenLanguage(const CliOptions& options, const QString& configIni);

// The title of a run that names none: the name of the folder when one folder is the only picture argument and no
// page list is given; empty otherwise.
QString TitleFromArguments(const CliOptions& options);

// The option that sets the first setting a conversion lacks (MissingSettingMessage), to follow its message, as
// " (use -t or --title)"; empty when none is missing.
QString OptionForMissingSetting(const BookSettings& settings);
