#include "framework/behaviour/EFDMWaterSimulation.h"

#include "datatypes/base/DTFloatToInt.h"
#include "datatypes/memory/MMMemory.h"
#include "framework/behaviour/EFDMHelpers.h"
#include "framework/behaviour/EFDMInterface.h"
#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EFGroundFogGrid_BC.h"
#include "framework/graphics/EFWaterGrid_BC.h"
#include "framework/logic/api/LogicBehaviourRecords.h"
#include "platform/runtime/RuntimeRand.h"

#include <cmath>

namespace {

struct Defaults {
	f32 damping;
	f32 waveSpeed;
	f32 interaction;
	f32 gridValues[3];
};
constexpr Defaults WATER_DEFAULTS	= { 0.98f, 0.2f, 1.0f, { 0.1f, 0.5f, 1.0f } };
constexpr Defaults FOG_DEFAULTS		= { 0.98f, 1.0f, 0.4f, { 0.2f, 0.5f, 1.0f } };
constexpr f32 FOG_VALUES[5]			= { 5.0f, 1.0f, 0.0f, 10.0f, 0.0f };
constexpr f32 DEFAULT_MAX_HEIGHT	= 0.2f;
// A disturbance smaller than this gets the idle ripple.
constexpr f32 STILL					= 0.0001f;
// Share of the maximum height one disturbance may reach.
constexpr f32 DISTURBANCE_CAP		= 0.4f;
constexpr f32 RIPPLE_SCALE			= 0.0078125f;
// Columns on each side and rows at each end outside the area.
constexpr s32 BORDER_COLUMNS		= 4;
constexpr s32 BORDER_ROWS			= 1;
constexpr u32 FLAG_LIST				= 0x1;
constexpr u32 FLAG_TAKE_CHARACTERS	= 0x2;
constexpr u32 ACTION_FLATTEN		= 1;

// The cell coordinate of an offset along a step: 2 (no cell) when it is not
// finite.
bool CellOf( const f32 offset, const f32 step, s32 & cell ) {
	const f32 f = 0.5f + offset / step;
	if ( !std::isfinite( f ) ) {
		return false;
	}
	cell = DTFloatToS32( static_cast<f64>( f ) );
	return true;
}

}

EFDMWaterSimulation::EFDMWaterSimulation( EFPhysic * body, EFGameObject * owner, const u32 typeId )
	: EFPhysicModule( EF_DM_PHASE_PRE | typeId, body ), mui32Kind( typeId ), mfDamping( 0.0f ), mfWaveSpeed( 0.0f ),
	  mfInteraction( 0.0f ), mfParamA( 1.0f ), mfParamB( 1.0f ), mfIdleRipple( 0.0f ), mui32CharacterCount( 0 ),
	  mui32Flags( 0 ), mafFog{ 0.0f, 0.0f, 0.0f, 0.0f, 0.0f }, mpoOwnerObject( owner ), mpoWaterGrid( nullptr ),
	  mpoFogGrid( nullptr ), mui32Width( 0 ), mui32Height( 0 ), mui32CellCount( 0 ), mbInitialised( 0 ),
	  mpoCharacters( static_cast<Character *>( MMCalloc( EF_DM_WATER_MAX_CHARACTERS, sizeof( Character ) ) ) ),
	  mbListFlag( 0 ), mpfBufferA( nullptr ), mpfBufferB( nullptr ), mpfDampingMap( nullptr ),
	  mfMaxHeight( DEFAULT_MAX_HEIGHT ), mafGridValues{ 0.0f, 0.0f, 0.0f }, mfCellSpacing( 0.0f ) {
	SetDefaults();
}

EFDMWaterSimulation::~EFDMWaterSimulation() {
	FreeBuffers();
	MMFree( mpoCharacters );
}

void EFDMWaterSimulation::FreeBuffers() {
	MMFree( mpfBufferA );
	MMFree( mpfBufferB );
	MMFree( mpfDampingMap );
	mpfBufferA = nullptr;
	mpfBufferB = nullptr;
	mpfDampingMap = nullptr;
}

void EFDMWaterSimulation::SetDefaults() {
	const bool fog = mui32Kind == EF_DM_GROUND_FOG;
	const Defaults & defaults = fog ? FOG_DEFAULTS : WATER_DEFAULTS;
	mfDamping = defaults.damping;
	mfWaveSpeed = defaults.waveSpeed;
	mfInteraction = defaults.interaction;
	mfParamA = 1.0f;
	mfParamB = 1.0f;
	mfIdleRipple = 0.0f;
	mui32CharacterCount = 0;
	mui32Flags = 0;
	for ( u32 i = 0; i < 5; i++ ) {
		mafFog[i] = fog ? FOG_VALUES[i] : 0.0f;
	}
	mfMaxHeight = DEFAULT_MAX_HEIGHT;
	for ( u32 i = 0; i < 3; i++ ) {
		mafGridValues[i] = defaults.gridValues[i];
	}
}

void EFDMWaterSimulation::TakeCharacters( const u32 * ids, const u32 count ) {
	mui32CharacterCount = 0;
	if ( mpoCharacters == nullptr ) {
		return;
	}
	const u32 n = count < EF_DM_WATER_MAX_CHARACTERS ? count : EF_DM_WATER_MAX_CHARACTERS;
	for ( u32 i = 0; i < n; i++ ) {
		const u32 id = DMStoredObjectId( ids[i] );
		const EFGameObject * const object = DMFindObject( id );
		if ( object != nullptr ) {
			mpoCharacters[mui32CharacterCount++] = { id, DMObjectPosition( *object ) };
		}
	}
}

void EFDMWaterSimulation::SetWaterParams( const DMWaterSimulationParams & record ) {
	mfDamping = record.fDamping;
	mfWaveSpeed = record.fWaveSpeed;
	mfParamA = record.fParamA;
	mfParamB = record.fParamB;
	mbListFlag = static_cast<u8>( record.ui32Flags & FLAG_LIST );
	if ( record.pui32CharacterIds != nullptr ) {
		mui32CharacterCount = 0;
		if ( ( record.ui32Flags & FLAG_TAKE_CHARACTERS ) != 0 ) {
			TakeCharacters( record.pui32CharacterIds, record.ui32CharacterCount );
		}
	}
	mfIdleRipple = record.fIdleRipple;
	mfInteraction = record.fInteraction;
	mfMaxHeight = record.fMaxHeight;
	for ( u32 i = 0; i < 3; i++ ) {
		mafGridValues[i] = record.afGridValues[i];
	}
	mui32Flags = record.ui32Flags;
}

void EFDMWaterSimulation::SetFogParams( const DMGroundFogSimulationParams & record ) {
	SetDefaults();
	for ( u32 i = 0; i < 4; i++ ) {
		mafFog[i] = record.afFog[i];
	}
	// The table holds 32 records, zeroed when allocated (id 0 names no
	// object), so a count without ids never reads past it.
	const u32 count = record.ui32CharacterCount;
	mui32CharacterCount = count < EF_DM_WATER_MAX_CHARACTERS ? count : EF_DM_WATER_MAX_CHARACTERS;
	if ( mpoCharacters == nullptr ) {
		mui32CharacterCount = 0;
	}
	if ( record.pui32CharacterIds != nullptr ) {
		TakeCharacters( record.pui32CharacterIds, count );
	}
	for ( u32 i = 0; i < 3; i++ ) {
		mafGridValues[i] = record.afGridValues[i];
	}
	EF3dObj * const grid = mpoOwnerObject != nullptr ? mpoOwnerObject->Get3dObject( 0 ) : nullptr;
	mpoFogGrid = nullptr;
	if ( grid != nullptr && grid->GetClassID() == EF_GROUND_FOG_GRID_CLASS_ID ) {
		mpoFogGrid = static_cast<EFGroundFogGrid_BC *>( grid );
		mpoFogGrid->SetFogParams( &record );
	}
}

void EFDMWaterSimulation::SetParams( void * params ) {
	mbInitialised = 0;
	if ( params == nullptr ) {
		SetDefaults();
	} else if ( mui32Kind == EF_DM_GROUND_FOG ) {
		SetFogParams( *static_cast<const DMGroundFogSimulationParams *>( params ) );
	} else {
		SetWaterParams( *static_cast<const DMWaterSimulationParams *>( params ) );
	}
}

void EFDMWaterSimulation::GetParams( void * params ) {
	if ( params == nullptr ) {
		return;
	}
	if ( mui32Kind == EF_DM_GROUND_FOG ) {
		DMGroundFogSimulationParams & record = *static_cast<DMGroundFogSimulationParams *>( params );
		for ( u32 i = 0; i < 4; i++ ) {
			record.afFog[i] = mafFog[i];
		}
		record.ui32CharacterCount = mui32CharacterCount;
		record.pui32CharacterIds = nullptr;
		for ( u32 i = 0; i < 3; i++ ) {
			record.afGridValues[i] = mafGridValues[i];
		}
		return;
	}
	DMWaterSimulationParams & record = *static_cast<DMWaterSimulationParams *>( params );
	record.fDamping = mfDamping;
	record.fWaveSpeed = mfWaveSpeed;
	record.fInteraction = mfInteraction;
	record.fParamA = mfParamA;
	record.fParamB = mfParamB;
	record.fIdleRipple = mfIdleRipple;
	record.fMaxHeight = mfMaxHeight;
	record.ui32CharacterCount = mui32CharacterCount;
	record.pui32CharacterIds = nullptr;
	for ( u32 i = 0; i < 3; i++ ) {
		record.afGridValues[i] = mafGridValues[i];
	}
	record.ui32Flags = mui32Flags;
}

void EFDMWaterSimulation::DoAction( const u32 action, void * ) {
	if ( action != ACTION_FLATTEN || mbInitialised == 0 ) {
		return;
	}
	for ( u32 i = 0; i < mui32CellCount && mpfBufferA != nullptr && mpfBufferB != nullptr; i++ ) {
		mpfBufferA[i] = 0.0f;
		mpfBufferB[i] = 0.0f;
	}
}

bool EFDMWaterSimulation::GridFits() const {
	if ( mui32Kind == EF_DM_GROUND_FOG ) {
		return mpoFogGrid == nullptr || mpoFogGrid->GetClassID() == EF_GROUND_FOG_GRID_CLASS_ID;
	}
	return mpoWaterGrid == nullptr || mpoWaterGrid->GetClassID() == EF_WATER_GRID_CLASS_ID;
}

void EFDMWaterSimulation::InitWater() {
	if ( mui32Kind == EF_DM_GROUND_FOG ) {
		if ( mpoFogGrid == nullptr ) {
			return;
		}
		mpoFogGrid->InitGrid( mafGridValues );
		ReInitWater( mpoFogGrid->moGrid.muiColumns, mpoFogGrid->moGrid.muiRows );
		return;
	}
	EF3dObj * const grid = mpoOwnerObject != nullptr ? mpoOwnerObject->Get3dObject( 0 ) : nullptr;
	mpoWaterGrid = nullptr;
	if ( grid == nullptr || grid->GetClassID() != EF_WATER_GRID_CLASS_ID ) {
		return;
	}
	mpoWaterGrid = static_cast<EFWaterGrid_BC *>( grid );
	mpoWaterGrid->InitWater( mafGridValues );
	ReInitWater( mpoWaterGrid->moGrid.muiColumns, mpoWaterGrid->moGrid.muiRows );
}

void EFDMWaterSimulation::ReInitWater( const u32 width, const u32 height ) {
	FreeBuffers();
	mui32Width = 0;
	mui32Height = 0;
	mui32CellCount = 0;
	// MMCalloc refuses a product that overflows; a grid of no cells gets no
	// buffers and the module stays idle.
	if ( width == 0 || height == 0 || static_cast<u64>( width ) * height > 0xFFFFFFFFu / sizeof( f32 ) ) {
		return;
	}
	const u32 cells = width * height;
	mpfBufferA = static_cast<f32 *>( MMCalloc( cells, sizeof( f32 ) ) );
	mpfBufferB = static_cast<f32 *>( MMCalloc( cells, sizeof( f32 ) ) );
	mpfDampingMap = static_cast<f32 *>( MMCalloc( cells, sizeof( f32 ) ) );
	if ( mpfBufferA == nullptr || mpfBufferB == nullptr || mpfDampingMap == nullptr ) {
		FreeBuffers();
		return;
	}
	mui32Width = width;
	mui32Height = height;
	mui32CellCount = cells;
	for ( u32 row = 1; row + 1 < height; row++ ) {
		for ( u32 column = 1; column + 1 < width; column++ ) {
			mpfDampingMap[row * width + column] = mfDamping;
		}
	}
}

void EFDMWaterSimulation::WaveStep( f32 * a, const f32 * b, const u32 width, const u32 height, const f32 damping,
									const f32 c ) {
	if ( width < 3 || height < 3 ) {
		return;
	}
	const f32 centre = 2.0f - 8.0f * c;
	for ( u32 row = 1; row + 1 < height; row++ ) {
		const f32 * const up = b + ( row - 1 ) * width;
		const f32 * const here = b + row * width;
		const f32 * const down = b + ( row + 1 ) * width;
		f32 * const out = a + row * width;
		// Sum of the three cells above and the three below column.
		f32 outer = up[0] + up[1] + up[2] + down[0] + down[1] + down[2];
		for ( u32 column = 1; column + 1 < width; column++ ) {
			if ( column > 1 ) {
				outer += up[column + 1] + down[column + 1] - ( up[column - 2] + down[column - 2] );
			}
			const f32 s = outer + here[column - 1] + here[column + 1];
			out[column] = damping * ( c * s + centre * here[column] ) - damping * out[column];
		}
	}
}

u32 EFDMWaterSimulation::PreColUpdate( EFDynamicPhysic &, const f32 dt ) {
	if ( mbInitialised == 0 ) {
		InitWater();
		mbInitialised = 1;
	}
	if ( !GridFits() || mpfBufferA == nullptr ) {
		return 1;
	}
	EFGridLayout * layout = nullptr;
	if ( mui32Kind == EF_DM_GROUND_FOG ) {
		mpoFogGrid->SetPhysicBuffer( mpfBufferA );
		layout = &mpoFogGrid->moGrid;
	} else {
		mpoWaterGrid->SetPhysicBuffer( mpfBufferA );
		layout = &mpoWaterGrid->moGrid;
	}
	if ( layout->muiLod != 0 ) {
		return 1;
	}
	if ( mui32Kind == EF_DM_GROUND_FOG ) {
		mpoFogGrid->UpdateGridInfo();
	} else {
		mpoWaterGrid->UpdateGridInfo();
	}
	moGridOrigin = layout->moWorldOrigin;
	moGridU = layout->moWorldColumnStep;
	moGridV = layout->moWorldRowStep;
	mfCellSpacing = layout->mafCellSize[0];
	// A spacing that is not positive would make every height non-finite.
	if ( mfCellSpacing > 0.0f ) {
		const f32 r = mfWaveSpeed * dt / mfCellSpacing;
		const f32 c = 0.5f * r * r;
		const f32 m = mui32Width > 1 && mui32Height > 1 ? mpfDampingMap[mui32Width + 1] : 0.0f;
		WaveStep( mpfBufferA, mpfBufferB, mui32Width, mui32Height, m, c );
		f32 * const newest = mpfBufferA;
		mpfBufferA = mpfBufferB;
		mpfBufferB = newest;
	}
	MakeMeInteractWithCharacter();
	return 1;
}

u32 EFDMWaterSimulation::ConvertWorldPosToGridCoord( const DTVector3d & pos, s32 & column, s32 & row ) const {
	s32 x = 0;
	s32 z = 0;
	if ( !CellOf( pos.x - moGridOrigin.x, moGridU.x, x ) || !CellOf( pos.z - moGridOrigin.z, moGridV.z, z ) ) {
		return EF_DM_WATER_OUTSIDE;
	}
	const s32 width = static_cast<s32>( mui32Width );
	const s32 height = static_cast<s32>( mui32Height );
	if ( x < BORDER_COLUMNS || x >= width - BORDER_COLUMNS || z < BORDER_ROWS || z >= height - BORDER_ROWS ) {
		return EF_DM_WATER_OUTSIDE;
	}
	column = x;
	row = z;
	return 0;
}

DTVector3d EFDMWaterSimulation::ComputeNormal( const s32 column, const s32 row ) const {
	const u32 width = mui32Width;
	const auto at = [&]( const s32 i, const s32 j ) {
		return DTVector3d( static_cast<f32>( i ) * moGridU.x, mpfBufferA[static_cast<u32>( j ) * width + static_cast<u32>( i )],
						   static_cast<f32>( j ) * moGridV.z );
	};
	const DTVector3d a = at( column - 1, row - 1 ) - at( column + 1, row + 1 );
	const DTVector3d b = at( column + 1, row - 1 ) - at( column - 1, row + 1 );
	DTVector3d normal;
	a.Cross( b, &normal );
	// The product's sense depends on the signs of the grid's steps; a
	// surface normal faces up.
	if ( normal.y < 0.0f ) {
		normal = -normal;
	}
	normal.Normalize();
	return normal;
}

u32 EFDMWaterSimulation::GetWaterValueAtThisPos( const DTVector3d & pos, DTVector3d & normal, f32 & height ) const {
	s32 column = 0;
	s32 row = 0;
	if ( mpfBufferA == nullptr || ConvertWorldPosToGridCoord( pos, column, row ) != 0 ) {
		height = 0.0f;
		normal = DTVector3d( 0.0f, 1.0f, 0.0f );
		return EF_DM_WATER_OUTSIDE;
	}
	height = mpfBufferA[static_cast<u32>( row ) * mui32Width + static_cast<u32>( column )];
	normal = ComputeNormal( column, row );
	return 0;
}

void EFDMWaterSimulation::Disturb( const u32 cell, const s32 column, const s32 row, const f32 s ) {
	f32 * const b = mpfBufferB;
	const s32 width = static_cast<s32>( mui32Width );
	const s32 height = static_cast<s32>( mui32Height );
	const bool left = column > 1;
	const bool right = column < width - 2;
	const bool previous = row > 1;
	const bool next = row < height - 2;
	const u32 w = mui32Width;
	b[cell] += s;
	const f32 side = 0.5f * s;
	const f32 diagonal = 0.25f * s;
	if ( left ) {
		b[cell - 1] += side;
	}
	if ( right ) {
		b[cell + 1] += side;
	}
	if ( previous ) {
		b[cell - w] += side;
		if ( left ) {
			b[cell - w - 1] += diagonal;
		}
		if ( right ) {
			b[cell - w + 1] += diagonal;
		}
	}
	if ( next ) {
		b[cell + w] += side;
		if ( left ) {
			b[cell + w - 1] += diagonal;
		}
		if ( right ) {
			b[cell + w + 1] += diagonal;
		}
	}
	for ( s32 j = row - 1; j <= row + 1; j++ ) {
		for ( s32 i = column - 1; i <= column + 1; i++ ) {
			f32 & h = b[static_cast<u32>( j ) * w + static_cast<u32>( i )];
			h = DMClampSymmetric( h, mfMaxHeight );
		}
	}
}

void EFDMWaterSimulation::MakeMeInteractWithCharacter() {
	if ( mpoCharacters == nullptr ) {
		return;
	}
	const f32 cap = DISTURBANCE_CAP * mfMaxHeight;
	const u32 waterId = mpoOwnerObject != nullptr ? mpoOwnerObject->GetUID() : 0;
	for ( u32 i = 0; i < mui32CharacterCount; i++ ) {
		Character & character = mpoCharacters[i];
		EFGameObject * const object = DMFindObject( character.mui32Id );
		if ( object == nullptr ) {
			continue;
		}
		const DTVector3d p = DMObjectPosition( *object );
		s32 column = 0;
		s32 row = 0;
		if ( ConvertWorldPosToGridCoord( p, column, row ) != 0 ) {
			character.moLastPos = p;
			continue;
		}
		const DTVector3d move = p - character.moLastPos;
		f32 s = mfInteraction * std::sqrt( move.LengthSquare() );
		if ( s < STILL ) {
			s += mfIdleRipple * static_cast<f32>( ( RuntimeRand() & 255 ) - 128 ) * RIPPLE_SCALE;
		}
		if ( s > cap ) {
			s = cap;
		}
		if ( move.y < 0.0f ) {
			s = -s;
		}
		const u32 cell = static_cast<u32>( row ) * mui32Width + static_cast<u32>( column );
		const f32 w = moGridOrigin.y + mpfBufferB[cell];
		const f32 lower = p.y < character.moLastPos.y ? p.y : character.moLastPos.y;
		if ( lower > w ) {
			continue;
		}
		DMWaterContactRecord contact = { waterId, p.y - w, character.moLastPos.y - w };
		object->Notify( NO_WATER, &contact, false );
		Disturb( cell, column, row, s );
		character.moLastPos = p;
	}
}
