/*
===============================================================================

	Water simulation (pre-collision): a damped wave equation over the
	height grid of the owning object's first 3D object, a water grid
	(type 12) or a ground-fog grid (type 13).

	Each pass the surface advances one step (two buffers: B the newest
	heights, A the previous ones, overwritten with the next), the grid
	gets buffer A to draw, and up to 32 listed characters moving through
	the simulated area disturb it by how far they moved since they last
	touched it, each told with notification 12. Other modules read the
	height and normal under a world position.

	The area is the grid less its first and last four columns and its
	first and last row. Heights on the border stay 0. Positions that do
	not convert to a cell (non-finite, out of range, before the grid's
	first placement) are outside; a grid of fewer than 3 columns or rows
	has no interior, and a cell spacing that is not positive skips the
	wave step.

	A ground-fog module is given its grid by SetParams with a record:
	without a ground-fog grid it sets nothing up and stays idle.

===============================================================================
*/
#ifndef EF_DM_WATER_SIMULATION_H
#define EF_DM_WATER_SIMULATION_H

#include "datatypes/maths/DTVector3d.h"
#include "framework/physics/EFPhysicModule.h"

class EFGameObject;
class EFGroundFogGrid_BC;
class EFWaterGrid_BC;
struct DMGroundFogSimulationParams;
struct DMWaterSimulationParams;

// Most characters a module follows.
constexpr u32 EF_DM_WATER_MAX_CHARACTERS	= 32;
// Result of the position queries for a position outside the area.
constexpr u32 EF_DM_WATER_OUTSIDE			= 2;

class EFDMWaterSimulation : public EFPhysicModule {
public:
	static constexpr u32	TYPE_WORD_WATER = 0x1000000C;
	static constexpr u32	TYPE_WORD_FOG = 0x1000000D;

	struct Character {
		u32					mui32Id;
		DTVector3d			moLastPos;
	};

							EFDMWaterSimulation( EFPhysic * body, EFGameObject * owner, u32 typeId );
							~EFDMWaterSimulation() override;

	u32						PreColUpdate( EFDynamicPhysic & record, f32 dt ) override;
	// DMWaterSimulationParams or DMGroundFogSimulationParams by kind; null
	// restores the kind's defaults. The surface restarts flat.
	void					SetParams( void * params ) override;
	void					GetParams( void * params ) override;
	// 1 flattens the surface.
	void					DoAction( u32 action, void * data ) override;

	// 0 with the height (buffer A) and normal under pos; outside the area
	// 2, height 0 and normal (0, 1, 0).
	u32						GetWaterValueAtThisPos( const DTVector3d & pos, DTVector3d & normal, f32 & height ) const;
	// 0 with the cell under pos; 2 outside the area.
	u32						ConvertWorldPosToGridCoord( const DTVector3d & pos, s32 & column, s32 & row ) const;
	// The surface normal at a cell from buffer A, facing up.
	DTVector3d				ComputeNormal( s32 column, s32 row ) const;

	// One wave step from B over A: every interior cell of a width x height
	// grid, with the neighbour sums of each row formed as running sums.
	static void				WaveStep( f32 * a, const f32 * b, u32 width, u32 height, f32 damping, f32 c );

	u32						mui32Kind;
	f32						mfDamping;
	f32						mfWaveSpeed;
	f32						mfInteraction;
	f32						mfParamA;
	f32						mfParamB;
	f32						mfIdleRipple;
	u32						mui32CharacterCount;
	u32						mui32Flags;
	f32						mafFog[5];
	EFGameObject *			mpoOwnerObject;
	EFWaterGrid_BC *		mpoWaterGrid;
	EFGroundFogGrid_BC *	mpoFogGrid;
	DTVector3d				moGridOrigin;
	DTVector3d				moGridU;
	DTVector3d				moGridV;
	u32						mui32Width;
	u32						mui32Height;
	u32						mui32CellCount;
	u8						mbInitialised;
	Character *				mpoCharacters;
	u8						mbListFlag;
	f32 *					mpfBufferA;
	f32 *					mpfBufferB;
	f32 *					mpfDampingMap;
	f32						mfMaxHeight;
	f32						mafGridValues[3];
	f32						mfCellSpacing;

private:
	void					SetDefaults();
	void					SetWaterParams( const DMWaterSimulationParams & record );
	void					SetFogParams( const DMGroundFogSimulationParams & record );
	// The first count ids that name objects, with their positions.
	void					TakeCharacters( const u32 * ids, u32 count );
	void					InitWater();
	void					ReInitWater( u32 width, u32 height );
	void					FreeBuffers();
	// The grid's class fits the kind.
	bool					GridFits() const;
	void					MakeMeInteractWithCharacter();
	void					Disturb( u32 cell, s32 column, s32 row, f32 s );
};

#endif
