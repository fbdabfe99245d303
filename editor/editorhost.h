#pragma once

#include "listfile/movie.h"

namespace cinemork {

// What the movie editor uses of the main window: the edit-mode marker and where OK's movie goes.
class EditorHost
{
public:
    virtual ~EditorHost() = default;
    virtual bool editMode() const = 0;
    // Adds the movie, or puts it in place of the selected one in edit mode, sorts the list by title,
    // selects the movie and records the modification. False when there is no selected movie to edit.
    virtual bool commitMovie(const Movie &m) = 0;
};

} // namespace cinemork
