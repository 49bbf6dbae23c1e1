/*
===============================================================================

	Triangle strips of a build mesh.

	The triangles are sorted into runs of equal material as for lists;
	each run is cut into strips and the strips are joined into one index
	sequence, which becomes the run's mesh.

	Cutting a run: triangles are neighbours across an edge they share in
	opposite directions (edges running the same way never pair; a third
	triangle on an edge starts an edge of its own). Triangles wait in four
	bins by their count of free neighbours; a triangle without free
	neighbours is a strip of its own, otherwise the triangle at the head of
	the lowest bin starts a strip, which is followed forward and then
	backward across free neighbours. Each used triangle moves its free
	neighbours down one bin.

	Joining: every strip starts at an even position of the sequence, so
	with standard strip parity each triangle keeps its winding; the joints
	add only degenerate triangles.

	Pairing looks edges up in a table keyed by their two vertices, which
	finds exactly the edge a walk of the edge list from its head would
	find (the latest unpaired one added); the walk itself stays selectable
	as a reference (RpTriStripTesting.h).

===============================================================================
*/
#ifndef RP_TRI_STRIP_H
#define RP_TRI_STRIP_H

#include "graphics3d/world/RpMesh.h"

// One strip of a run: its indices in the run's pool.
struct RpTriStripStrip {
	u32					first;		// in the run's index pool
	u32					length;
	RpTriStripStrip*	next;		// the run's strip list, newest first
};

// The default strip generator: one joined strip per run, header flags
// rpMESHHEADERTRISTRIP. Null (recorded) when memory fails.
RpMeshHeader*	RpBuildMeshGenerateDefaultTriStrip( RpBuildMesh* buildMesh, void* data );

#endif
