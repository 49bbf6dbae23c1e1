/*
===============================================================================

	Border extension of a reference picture.

	Fills the 32-pixel luma and 16-pixel chroma borders from the coded
	area, the macroblock-aligned picture: each border row of the coded
	rows repeats that row's first or last pixel, and the rows above and
	below repeat the first and last rows, corners included. Pixels
	between a picture's visible edge and its macroblock edge stay as
	decoded.

===============================================================================
*/
#ifndef M4_IMAGE_PADDING_H
#define M4_IMAGE_PADDING_H

#include "video/m4/M4Image.h"

// Fills the borders by whole tile lines.
void	M4ImageCreatePadding( M4Image* picture );
// The same pixel by pixel: the plain kernel the fast one must match.
void	M4ImageCreatePaddingReference( M4Image* picture );

#endif
