/*
===============================================================================

	One transparent 3D object waiting in a render bucket of the world: the
	next entry of its bucket, the object, its game object's clipping
	record (for the camera's clip word) and its camera-space depth.

===============================================================================
*/
#ifndef EF_RENDER_SORT_ENTRY_H
#define EF_RENDER_SORT_ENTRY_H

#include "datatypes/base/DTTypes.h"

class EF3dObj;
struct EFObjClipping;

struct EFRenderSortEntry {
	EFRenderSortEntry *		pNext;
	EF3dObj *				po3dObj;
	EFObjClipping *			poClipping;
	f32						fDepth;
};

#endif
