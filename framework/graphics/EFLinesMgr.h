/*
===============================================================================

	Debug lines manager (gpoLinesMgr), created by the engine controller.

	Game logic adds coloured 3D segments; every camera pass draws all the
	lines held as one immediate-mode line list, two vertices per line.
	The buffer holds a fixed number of lines (200 unless Initialize chose
	another capacity); lines beyond it are dropped and the caller is told
	how many were kept. Its first member is the line count, which the
	frame loop zeroes every running frame.

	The three octree drawing hooks the environment maps call draw nothing
	on this platform.

===============================================================================
*/
#ifndef EF_LINES_MGR_H
#define EF_LINES_MGR_H

#include "datatypes/base/DTTypes.h"
#include "framework/logic/api/LogicApiRecords.h"

struct RwIm3DVertex;
struct RpMaterial;
struct EFOctNodeEnd;

// Capacity the first AddLines gives a manager without a buffer.
constexpr u16 EF_LINES_DEFAULT_CAPACITY	= 200;

class EFLinesMgr {
public:
							EFLinesMgr();
							~EFLinesMgr();

	// Replaces the buffer by one of capacity lines; a count above the new
	// capacity is cut to it.
	void					Initialize( u16 capacity );
	// Appends the lines that fit; lines->NbLines becomes that number.
	void					AddLines( _LinesParams* lines );
	// Draws the lines held (nothing, no state set, without lines).
	void					Render();
	// Frees the buffer; count and capacity 0.
	void					Terminate();

	// Lines held.
	u32						mui32LineCount;
	u32						mui32Capacity;
	// Two vertices per line.
	RwIm3DVertex*			mpoLines;
};

extern EFLinesMgr*	gpoLinesMgr;

// Environment-map drawing hooks: nothing is drawn here.
void	BeginRenderOctree( void* octree, unsigned long nodeCount, RpMaterial** materials );
void	RenderOctreeNode( EFOctNodeEnd* node );
void	EndRenderOctree();

#endif
