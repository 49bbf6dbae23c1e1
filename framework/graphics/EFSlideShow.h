/*
===============================================================================

	Slide show: full-screen still pictures, three slides to a file
	("SLIDE%d.SLD"). Three files' worth of slides are resident (the
	previous, current and next block); paging past the current block
	rotates the blocks and reads the file beyond. At most one show exists,
	held in EFSlideShow::poSlideShow.

	While loading, each rendered frame takes one step once the last read
	is done: the current block (file 0), the next (file 1) and the
	previous (the last file); then the show is ready, makes its camera,
	shows slide 0 and sends NO_SLIDE to the object registered for it.

	A show needs at least three slides; n is taken as three slides per
	file (n / 3 files) and block numbers wrap modulo the file count, so
	with one or two files several resident blocks hold the same file,
	each with its own textures.

===============================================================================
*/
#ifndef EF_SLIDE_SHOW_H
#define EF_SLIDE_SHOW_H

#include "framework/graphics/EFSlideBlock.h"
#include "framework/graphics/EFSlideShowRW.h"

class EFCamera;
class EFGameObject;

// Bytes of one file-name entry.
constexpr u32 EF_SLIDE_NAME_BYTES		= 256;
constexpr u32 EF_SLIDE_BUFFER_BYTES		= 0x400000;
constexpr u32 EF_SLIDE_STATE_LOADING	= 1;
constexpr u32 EF_SLIDE_STATE_READY		= 2;

class EFSlideShow : public EFSlideShow_SP {
public:
	explicit				EFSlideShow( u32 count );
							~EFSlideShow();

	// Makes the show for count slides unless one exists; fewer than
	// three slides make none.
	static void				Create( u32 count );
	// Deletes the show; its textures stay in the dictionary.
	static void				Destroy();
	// 1 after stepping to the next or previous slide (wrapping), 0 before
	// the show is ready.
	static u32				Next();
	static u32				Prev();
	// The object told when the show is ready (null clears it).
	static void				SetGameObj( EFGameObject * object );
	// Ready: the current slide; loading: one load step.
	static void				Render();

	// Shows slide i, rotating the blocks when it lies in a neighbour.
	void					SetSlide( u32 i );
	// One load step, when no read is in progress.
	void					Update();

	static EFSlideShow *	poSlideShow;

	u32						muiSlideCount;
	u32						muiCurrentSlide;
	u32						muiBlockCount;
	u32						muiPreviousNumber;
	u32						muiCurrentNumber;
	u32						muiNextNumber;
	char *					mpcNames;
	EFSlideBlock			maoBlocks[3];
	EFSlideBlock *			mpoPreviousBlock;
	EFSlideBlock *			mpoCurrentBlock;
	EFSlideBlock *			mpoNextBlock;
	u32						muiBufferSize;
	void *					mpBuffer;
	u32						muiState;
	u32						muiLoadStep;
	EFGameObject *			mpoNotified;
	EFCamera *				mpoCamera;

private:
	char *					Name( u32 number ) { return mpcNames + number * EF_SLIDE_NAME_BYTES; }
	// A block object for file number, its slides loaded from the buffer.
	EFSlideBlock *			NewBlock( u32 number );
	// The block loaded from the buffer if it is not, after the read ends.
	void					EnsureLoaded( EFSlideBlock & block );
	// Block gets file number's slides and starts reading that file.
	void					Refill( EFSlideBlock & block, u32 number );
	static bool				InBlock( const EFSlideBlock * block, u32 i );
};

#endif
