/*
===============================================================================

	The water grid object (class 65, "EF_3DOBJECT_WATER").

	Each drawn frame the rows 1 .. R - 2 and columns 3 .. C - 4 take the
	simulation's heights and are shaded from their normals: intensity =
	(light . normal) / |4 x world column step x x world row step z| in
	[0, 1] scales the material colour by the colour factors; alpha is the
	material alpha x 0.9. The strips are drawn with the material's
	texture (filter and addressing from its word), or untextured.

	A level change in Render lays the grid out again and rebuilds the
	vertices (the array grows when needed), so drawing stays inside the
	array whatever the levels' cell sizes.

	A grid without a model keeps the columns and rows it was given and is
	drawn as a plain 3D object.

===============================================================================
*/
#ifndef EF_WATER_GRID_H
#define EF_WATER_GRID_H

#include "framework/graphics/EFWaterGrid_BC.h"

class EFWaterGrid : public EFWaterGrid_BC {
public:
							EFWaterGrid();
							~EFWaterGrid() override = default;

	static void *			Instanciate();
	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	bool					Initialize( const DTCreationParameters & params ) override;
	EFInstance *			ShallowCopy() override;

	void					Render( u16 lod ) override;
	// Cell sizes, model, level 0, the vertex array and its vertices.
	void					InitWater( f32 * cellSizes ) override;
	// The rectangle from the model; false without one.
	bool					InitRWSpecific();
	// Every vertex at its place; false when the array cannot be had.
	bool					InitVertexXYZ();
	// Heights, normals and shaded colours of the inner vertices.
	void					ComputeNormal();
	// Replaces the grid's material.
	void					SetMaterial( void * material );

	f32						mafColorFactor[3];
	f32						mfAlphaFactor;
	DTVector3d				moLightDirection;
	u32						muiPrimitiveMode;
	void *					mapSavedStates[4];
};

#endif
