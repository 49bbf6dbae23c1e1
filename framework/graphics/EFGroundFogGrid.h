/*
===============================================================================

	The ground-fog grid object (class 86, "EF_3DOBJECT_GROUNDFOG").

	Each drawn frame every vertex slot's alpha hazes with its distance
	along the camera's look direction and the camera's height above the
	grid, and thins where the simulation's height is disturbed: the haze
	level falls at once to 1 - |6 x height| and climbs back by the fade
	step per frame. The fog is left switched off after the strips.

===============================================================================
*/
#ifndef EF_GROUND_FOG_GRID_H
#define EF_GROUND_FOG_GRID_H

#include "framework/graphics/EFGroundFogGrid_BC.h"

class EFGroundFogGrid : public EFGroundFogGrid_BC {
public:
							EFGroundFogGrid();
							~EFGroundFogGrid() override = default;

	static void *			Instanciate();
	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	bool					Initialize( const DTCreationParameters & params ) override;
	EFInstance *			ShallowCopy() override;

	void					Render( u16 lod ) override;
	void					InitGrid( f32 * cellSizes ) override;
	bool					InitRWSpecific();
	bool					InitVertexXYZ();
	// The haze of every slot as seen from the current library camera.
	void					ComputeFogPlaneHaze();
	void					SetMaterial( void * material );

	f32						mafColorFactor[3];
	f32						mfAlphaFactor;
	DTVector3d				moLightDirection;
	u32						muiPrimitiveMode;
	void *					mapSavedStates[4];
	f32						mfFadeStep;
};

#endif
