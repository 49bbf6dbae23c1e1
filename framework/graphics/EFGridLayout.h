/*
===============================================================================

	What the water and ground-fog grids share: the rectangle read from the
	model (a 4-vertex quad: corner, column and row extents, texture
	extents, material), the layout of a level of detail (columns, rows,
	local and world origin and steps, texture steps), the height buffer a
	simulation hands over (one height per grid vertex, row-major) and the
	vertex array drawn as strips.

	Strip layout: with C columns and R rows the array has 2 C R slots;
	grid vertex (r, c) sits in slot 2 (r C + c) + 1 and, for r >= 1, in
	slot 2 ((r - 1) C + c), so strip k alternates rows k + 1 and k.

	A layout is valid (flag 0x02) only when its cell size is non-zero and
	finite, the slot count fits and the array is allocated; an invalid
	grid draws as a plain 3D object. Heights are read only once a buffer
	was handed over and only for grid vertices whose row-major index in
	the current layout is below the level-0 vertex count (the size of the
	simulation's buffer); others are 0.

===============================================================================
*/
#ifndef EF_GRID_LAYOUT_H
#define EF_GRID_LAYOUT_H

#include "datatypes/maths/DTVector3d.h"
#include "graphics3d/core/RwRGBA.h"

class EFPosData;
struct RpClump;
struct RpMaterial;
struct RwIm3DVertex;

// Levels of detail of a grid.
constexpr u32 EF_GRID_LOD_COUNT = 3;
// Flag of a valid layout.
constexpr u32 EF_GRID_LAYOUT_VALID = 0x02;
// Cells across the rectangle at most.
constexpr u32 EF_GRID_MAX_CELLS = 100;
// Primitive modes of the strips.
constexpr u32 EF_GRID_TRIANGLE_STRIPS = 0;
constexpr u32 EF_GRID_POLY_LINES = 1;

struct EFGridLayout {
	f32 *					mpfHeights = nullptr;
	u32						muiColumns = 0;
	u32						muiRows = 0;
	f32						mfUPerColumn = 0.0f;
	f32						mfVPerColumn = 0.0f;
	f32						mfUPerRow = 0.0f;
	f32						mfVPerRow = 0.0f;
	RpMaterial *			mpoMaterial = nullptr;
	u32						muiFlags = 0;
	DTVector3d				moWorldOrigin;
	DTVector3d				moWorldColumnStep;
	DTVector3d				moWorldRowStep;
	DTVector3d				moLocalOrigin;
	DTVector3d				moLocalColumnStep;
	DTVector3d				moLocalRowStep;
	DTVector3d				moCorner;
	DTVector3d				moColumnExtent;
	DTVector3d				moRowExtent;
	// u and v across the columns, u and v across the rows.
	f32						mafTextureExtent[4] = { 0.0f, 0.0f, 0.0f, 0.0f };
	f32						mafCellSize[EF_GRID_LOD_COUNT] = { 0.0f, 0.0f, 0.0f };
	u32						muiLod = 0;
	s32						miPlacementFrame = -1;

	RwIm3DVertex *			mpoVertices = nullptr;
	u32						muiVertexCount = 0;
	// Slots the array holds.
	u32						muiVertexCapacity = 0;
	// Haze level per slot (ground fog only).
	f32 *					mpfHaze = nullptr;
	// Grid vertices of the level-0 layout: the heights a buffer holds.
	u32						muiHeightCount = 0;

							EFGridLayout() = default;
							~EFGridLayout();
							EFGridLayout( const EFGridLayout & ) = delete;
	EFGridLayout &			operator=( const EFGridLayout & ) = delete;

	// Keeps the three cell sizes (nothing for null).
	void					SetCellSizes( const f32 * cellSizes );
	// The rectangle, material and texture extents from the clump's first
	// atomic, which must be a 4-vertex quad (else nothing is set). The
	// geometry loses its lighting flag and takes the material colour as
	// its pre-lit colours. False without a clump or atomic.
	bool					ReadModel( RpClump * clump );
	// The layout of level lod (levels above 2 use level 2's size), then
	// the world placement; true and flag 0x02 when valid.
	bool					SetLod( u32 lod, EFPosData & grid );
	// The world origin and steps through grid's frame, at most once per
	// engine frame (the local ones without a frame).
	void					UpdatePlacement( EFPosData & grid );
	// The array for 2 C R slots (grown when needed) and every vertex at its
	// place with that colour; haze levels at 1 when withHaze. False (and
	// the layout invalid) when the array cannot be had.
	bool					Build( RwRGBA colour, bool withHaze );
	bool					IsDrawable() const;

	// The simulation's height of grid vertex (r, c), or 0.
	f32						Height( u32 r, u32 c ) const;
	// The odd slot of (r, c) (its place in strip r).
	u32						Slot( u32 r, u32 c ) const { return 2 * ( r * muiColumns + c ) + 1; }
	// The grid vertex a slot holds, as r C + c.
	u32						VertexOfSlot( u32 slot ) const;

	// Render states saved and set around the strips: cull none, vertex
	// alpha on, the material texture's raster, filter and addressing.
	void					BeginStrips( void * saved[4] ) const;
	void					EndStrips( void * const saved[4] ) const;
	// Strips 1 .. R - 3 without the four border columns of each side.
	void					DrawStrips( u32 mode );
	// 2 (C - 1)(R - 1).
	u32						PolygonCount() const;
	void					Free();
};

#endif
