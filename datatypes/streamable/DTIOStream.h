/*
===============================================================================

	A disc file opened as a persist stream.

	Besides the input stream the opener owns a linker, which collects the
	references between the objects read from the file, and the file's table
	of contents. Streams it opens know it as their stream loader, which is
	how link properties reach the linker.

	Only input is ever opened; the output side exists to be closed.

===============================================================================
*/
#ifndef DT_IO_STREAM_H
#define DT_IO_STREAM_H

#include "datatypes/base/DTTypes.h"

class DTBasePersistStream;
class DTLinker;
class DTStreamFAT;

// Modes of OpenInputStream.
constexpr s32 DT_IO_STREAM_MODE_TEXT	= 1;
constexpr s32 DT_IO_STREAM_MODE_BINARY	= 2;

class DTIOStream {
public:
							DTIOStream();
	// Closes everything.
	virtual					~DTIOStream();

							DTIOStream( const DTIOStream & ) = delete;
	DTIOStream &			operator=( const DTIOStream & ) = delete;

	// 0.
	virtual s32				GetType() const;

	// Closes any open input, then opens path as a binary (mode 2) or text
	// (mode 1) stream with a new linker and table of contents. -3 when the
	// file cannot be opened or the mode is neither; nothing is created then.
	s32						OpenInputStream( const char * path, const s32 mode );
	// Destroys the linker and the table, closes the file and destroys the stream.
	void					CloseInput();
	// Destroys the table, and the output stream when there is one.
	void					CloseOutput();
	void					CloseAll();

	DTBasePersistStream *	GetInStream() const { return moInStream; }
	DTBasePersistStream *	GetOutStream() const { return moOutStream; }
	DTLinker *				GetLinker() const { return mpoLinker; }
	DTStreamFAT *			GetStreamFat() const { return mpoStreamFat; }

protected:
	DTBasePersistStream *	moInStream;
	DTBasePersistStream *	moOutStream;
	DTLinker *				mpoLinker;
	DTStreamFAT *			mpoStreamFat;

private:
	// Closes the stream's file and destroys the stream.
	static void				CloseStream( DTBasePersistStream *& stream );
};

#endif
