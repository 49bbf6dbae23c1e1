/*
===============================================================================

	Reading images by name through the registered file formats.

	The extension of a name starts at its last '.' after the last ':', '/'
	and '\'; it selects the first format whose either extension equals it
	exactly (case matters). Full names are then tried in search-path
	order: an absolute name (a drive letter and ':', or a leading '\'), or
	any name while the path is empty, is tried as it is; otherwise each
	';'-separated path element is put unchanged in front of the name
	(elements carry their own trailing separator). The first full name
	that exists and that the format's reader turns into an image wins.

	Full names are built in the module's full-name buffer, grown to the
	element's length + the name's length + some extra room; a failed
	growth records 0x80000013 and ends the search.

	A read that finds no format, no reader or no file returns null without
	an error of its own.

===============================================================================
*/
#ifndef RW_IMAGE_READ_H
#define RW_IMAGE_READ_H

#include "graphics3d/core/RwImage.h"

// Extra room of the full names of RwImageRead, and of RwImageFindFileType
// (which appends extensions to them).
constexpr u32 RWIMAGE_READ_EXTRA_ROOM		= 5;
constexpr u32 RWIMAGE_FIND_EXTRA_ROOM		= 20;

RwImage*	RwImageRead( const char* imageName );
// The image with its alpha taken from the mask image (made a mask first);
// an empty or null mask name reads the image alone. Null on any failure,
// with whatever was read destroyed.
RwImage*	RwImageReadMaskedImage( const char* imageName, const char* maskName );
// The first extension (of the registered formats, first then second of
// each) that, appended to a full name, names a file that exists.
const char*	RwImageFindFileType( const char* imageName );

// Where the extension of a name starts (at its '.'), or null.
const char*	_rwImageFindExtension( const char* imageName );

#endif
