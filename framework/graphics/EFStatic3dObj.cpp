#include "framework/graphics/EFStatic3dObj.h"

#include "datatypes/maths/DTColor.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/core/world/EFWorld.h"
#include "framework/graphics/EFLight.h"
#include "framework/graphics/EFLightMgr.h"
#include "framework/graphics/EFStreamConvert.h"
#include "graphics3d/core/RwFrame.h"
#include "graphics3d/core/RwFrameSync.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/core/RwStreamData.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpLight.h"
#include "graphics3d/world/RpWorld.h"
#include "graphics3d/world/RpWorldObj.h"

DT_IMPLEMENT_DYNAMIC_CLASS( EFStatic3dObj, "STATIC_3D_OBJECT_INST", EF_STATIC_3D_OBJ_CLASS_ID, IT_OBJECT );

namespace {

constexpr u32 ID_MASK				= 0xFFFFFF;
// Radius factor of the spot lights.
constexpr f32 SPOT_RADIUS_FACTOR	= 10.0f;
// Reals of a light's frame: right, up, at, position.
constexpr u32 FRAME_REALS			= 12;

f32 AtMostOne( const f32 value ) {
	return value > 1.0f ? 1.0f : value;
}

// The light's frame takes the stored right, up, at and position.
void PlaceLight( RpLight * light, const f32 ( &rows )[FRAME_REALS] ) {
	RwFrame * const frame = static_cast<RwFrame *>( light->object.object.parent );
	if ( frame == nullptr ) {
		return;
	}
	RwMatrix & modelling = frame->modelling;
	modelling.right = { rows[0], rows[1], rows[2] };
	modelling.up = { rows[3], rows[4], rows[5] };
	modelling.at = { rows[6], rows[7], rows[8] };
	modelling.pos = { rows[9], rows[10], rows[11] };
	modelling.flags &= ~rwMATRIXIDENTITYFLAGS;
	RwFrameUpdateObjects( frame );
}

// Copies what the stored light says into the scene light.
void CopyLight( EFLight & light, const RpLight & read, const u32 type ) {
	light.SetColor( DTColor( AtMostOne( read.color.red ), AtMostOne( read.color.green ), AtMostOne( read.color.blue ),
							 read.color.alpha ) );
	light.mpLight->object.object.flags = read.object.object.flags;
	if ( type == LIGHT_TYPE_POINT ) {
		light.SetRadius( read.radius );
	} else if ( type == LIGHT_TYPE_SPOT_SOFT ) {
		light.SetRadius( SPOT_RADIUS_FACTOR * read.radius );
		light.SetConeAngle( RpLightGetConeAngle( &read ) );
	}
}

// Takes a light nobody holds out of the world with its frame.
RpLight * DestroyWorldLight( RpLight * light, void * data ) {
	RpWorldRemoveLight( static_cast<RpWorld *>( data ), light );
	RwFrame * const frame = static_cast<RwFrame *>( light->object.object.parent );
	_rwObjectHasFrameSetFrame( &light->object, nullptr );
	if ( frame != nullptr ) {
		RwFrameDestroy( frame );
	}
	RpLightDestroy( light );
	return light;
}

RpClump * RemoveClump( RpClump * clump, void * data ) {
	RpWorldRemoveClump( static_cast<RpWorld *>( data ), clump );
	return clump;
}

}

EFStatic3dObj::EFStatic3dObj()
	: mpWorld( nullptr ), mui32Reserved( 0 ), mui32Trailer( 0 ), mui32LightCount( 0 ), mbRegistered( false ) {
}

EFStatic3dObj::~EFStatic3dObj() {
	Terminate();
}

s32 EFStatic3dObj::GetClassID() const {
	return EF_STATIC_3D_OBJ_CLASS_ID;
}

const char * EFStatic3dObj::GetClassName() const {
	return "STATIC_3D_OBJECT_INST";
}

bool EFStatic3dObj::IsOwnedElsewhere() const {
	return mbRegistered;
}

void EFStatic3dObj::Register() {
	if ( gpoWorldMgr != nullptr && gpoWorldMgr->GetStatic3dObj() != this ) {
		mbRegistered = true;
		gpoWorldMgr->SetStatic3dObj( this );
	}
}

s32 EFStatic3dObj::LoadPropertiesBinary( DTBasePersistStream & stream ) {
	u32 id = 0;
	u32 unused = 0;
	stream.LoadData( id );
	stream.LoadData( unused );
	SetUID( ( id & ID_MASK ) | EF_STATIC_3D_OBJ_ID_BASE );
	RwStream * const rwStream = EFStreamConvert( &stream, nullptr );
	if ( rwStream != nullptr ) {
		LoadStatic3dObjFromStream( rwStream );
		EFStreamCloseConvert( rwStream, &stream );
	}
	// Without a world the level goes on with an empty static object.
	Register();
	return 0;
}

s32 EFStatic3dObj::LoadPropertiesText( char *, DTBasePersistStream & stream ) {
	u32 id = 0;
	u32 unused = 0;
	stream.LoadData( id );
	stream.LoadData( unused );
	SetUID( ( id & ID_MASK ) | EF_STATIC_3D_OBJ_ID_BASE );
	char * const name = static_cast<char *>( MMCalloc( EF_STATIC_3D_OBJ_NAME_MAX + 1, 1 ) );
	if ( name != nullptr ) {
		stream.LoadTextData( name, EF_STATIC_3D_OBJ_NAME_MAX + 1 );
		RwStream * const rwStream = EFStreamConvert( &stream, name );
		if ( rwStream != nullptr ) {
			LoadStatic3dObjFromStream( rwStream );
			EFStreamCloseConvert( rwStream, &stream );
		}
		MMFree( name );
	}
	Register();
	return 0;
}

s32 EFStatic3dObj::LoadStatic3dObjFromStream( RwStream * stream ) {
	if ( stream == nullptr || !RwStreamFindChunk( stream, rwID_WORLD, nullptr, nullptr ) ) {
		return -2;
	}
	const bool auxiliary = gbVMAlloc;
	gbVMAlloc = true;
	RpWorld * const world = RpWorldStreamRead( stream );
	gbVMAlloc = auxiliary;
	if ( world == nullptr ) {
		return -2;
	}
	// A second load replaces the first world with everything in it.
	Terminate();
	mpWorld = world;
	ReadLights( stream );
	u32 trailer = 0;
	mui32Trailer = RwStreamReadInt32( stream, &trailer, sizeof( trailer ) ) != nullptr ? trailer : 0;
	RpWorldForAllWorldSectors(
		mpWorld,
		[]( RpWorldSector * sector, void * ) {
			if ( sector->preLitLum != nullptr ) {
				for ( u32 i = 0; i < sector->numVertices; i++ ) {
					sector->preLitLum[i].alpha = 255;
				}
			}
			return sector;
		},
		nullptr );
	return 0;
}

u32 EFStatic3dObj::ReadLights( RwStream * stream ) {
	u32 count = 0;
	if ( stream == nullptr || RwStreamReadInt32( stream, &count, sizeof( count ) ) == nullptr ) {
		return 0;
	}
	bool failed = false;
	for ( u32 i = 0; i < count; i++ ) {
		// No light chunk further on: the stream holds no more chunks, so
		// every later index would fail the same way.
		if ( !RwStreamFindChunk( stream, rwID_LIGHT, nullptr, nullptr ) ) {
			failed = true;
			break;
		}
		RpLight * const read = RpLightStreamRead( stream );
		f32 rows[FRAME_REALS] = {};
		if ( read == nullptr || RwStreamReadReal( stream, rows, sizeof( rows ) ) == nullptr ) {
			if ( read != nullptr ) {
				RpLightDestroy( read );
			}
			failed = true;
			break;
		}
		const u32 readType = static_cast<u32>( read->object.object.subType );
		const u32 type = readType == LIGHT_TYPE_SPOT ? static_cast<u32>( LIGHT_TYPE_SPOT_SOFT ) : readType;
		const u32 id = EF_LIGHT_ID_BASE | ( ( EF_STATIC_LIGHT_ID_BASE & ID_MASK ) + i );
		EFLight * light = nullptr;
		if ( gpoEFLightMgr != nullptr && gpoEFLightMgr->CreateStaticLight( id, static_cast<LightType_e>( type ) ) != nullptr ) {
			light = gpoEFLightMgr->GetLight( id );
		}
		mui32LightCount = i + 1;
		if ( light == nullptr || light->mpLight == nullptr ) {
			failed = true;
		} else {
			CopyLight( *light, *read, type );
			PlaceLight( light->mpLight, rows );
			RpWorldAddLight( mpWorld, light->mpLight );
		}
		RpLightDestroy( read );
	}
	return failed ? 0 : 1;
}

bool EFStatic3dObj::MadeLight( const u32 id ) const {
	return id >= EF_STATIC_LIGHT_ID_BASE && id - EF_STATIC_LIGHT_ID_BASE < mui32LightCount;
}

void EFStatic3dObj::Terminate() {
	if ( mpWorld == nullptr ) {
		return;
	}
	if ( gpoEFLightMgr != nullptr ) {
		EFLight * light = gpoEFLightMgr->moLights.mpFirst;
		while ( light != nullptr ) {
			EFLight * const next = light->mpNextLight;
			const bool inWorld = light->mpLight != nullptr && RpLightGetWorld( light->mpLight ) == mpWorld;
			if ( inWorld || light->mpHiddenFrom == mpWorld ) {
				if ( light->muiKind == EF_LIGHT_KIND_STATIC && MadeLight( light->GetUID() ) ) {
					gpoEFLightMgr->DestroyLight( light );
				} else {
					// The manager keeps it; it must not point at this world.
					light->mpHiddenFrom = nullptr;
					if ( inWorld ) {
						RpWorldRemoveLight( mpWorld, light->mpLight );
					}
				}
			}
			light = next;
		}
	}
	RpWorldForAllLights( mpWorld, DestroyWorldLight, mpWorld );
	RpWorldForAllClumps( mpWorld, RemoveClump, mpWorld );
	RpWorldDestroy( mpWorld );
	mpWorld = nullptr;
	mui32LightCount = 0;
}
