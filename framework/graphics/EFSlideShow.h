/*
===============================================================================

	Slide show: at most one exists, held in EFSlideShow::poSlideShow.
	Placeholder body: none is ever created.

===============================================================================
*/
#ifndef EF_SLIDE_SHOW_H
#define EF_SLIDE_SHOW_H

#include "datatypes/base/DTTypes.h"

class EFGameObject;

class EFSlideShow {
public:
	static void				Create( u32 id );
	static void				Destroy();
	// 1 after stepping to the next or previous slide, else 0.
	static u32				Next();
	static u32				Prev();
	static void				SetGameObj( EFGameObject* object );

	static EFSlideShow*		poSlideShow;
	static void				Render();
};

#endif
