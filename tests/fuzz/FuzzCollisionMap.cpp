/*
	Collision maps: class-36 records as the level loader reads them (the
	class made by its registered factory, the binary form loaded from a
	disc file through a binary persist stream), and the form that names a
	file holding the map. Every map that loads is queried once (a sphere
	and a ray through the whole octree) and deleted by the physics
	manager, as ending a level does.

	Bit 0 of the first byte picks the form. Binary: the rest is the
	record. Naming a file: a big-endian u32 gives the length of the record
	that follows; the rest is the file COLMAP.BIN.
*/
#include "FuzzTarget.h"

#include "datatypes/file/DTFile.h"
#include "datatypes/persist/DTBinaryPersistStream.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/physics/EFCollisionMap.h"
#include "framework/physics/EFGetPrimitivesInSphereData.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/CollisionMapFixtures.h"
#include "support/TestHexBytes.h"
#include "tools/lib/ToolBigEndianWriter.h"
#include "tools/lib/level/ToolCollisionMapWriter.h"
#include "tools/lib/level/ToolCollisionScenes.h"
#include "tools/lib/level/ToolSampleCollisionMap.h"

#include <algorithm>

namespace {

constexpr const char* kMapFile = "COLMAP.BIN";
constexpr u32 kQueryCapacity = 64;

class CountHits : public EFRayIntersectOut::Listener {
public:
	bool RayIntersectionOccured( const EFRayIntersectOut& out, RayIntersectResult ) override {
		FuzzCheck( out.poEnvCollider != nullptr, "a reported hit has no polygon" );
		return true;
	}
};

// A sphere and a listener ray across the map's root box.
void Query( EFCollisionMap& map ) {
	const EFOctreeNodeHeader* const root = map.GetRoot();
	FuzzCheck( root != nullptr, "a loaded map has no root" );
	EFEnvCollisionPrim* found[kQueryCapacity + 1] = {};
	EFGetPrimitivesInSphereData sphere = { DTSphere( root->oCentre, 2.0f ), 0xFFFFFFFF, 0xFFFFFFFF, found, kQueryCapacity };
	EFPhysicMgr::msui32GetPrimCount++;
	const u32 count = map.GetPrimitivesInSphere( &sphere );
	FuzzCheck( count <= kQueryCapacity && sphere.ppoOutput == found + count, "the sphere query overran its output" );
	const DTVector3d start = root->oCentre - root->oHalfSize;
	RayIntersectIn in = { start, root->oHalfSize * 2.0f, 0, 0, 0xFFFFFFFF, 0, 0 };
	EFRayIntersectOut out = {};
	CountHits listener;
	out.poListener = &listener;
	f32 t = 1.0f;
	EFPhysicMgr::msui32GetPrimCount++;
	map.RayIntersect( in, out, t );
}

// The load's outcome: a registered map is queried and handed back to the
// manager; a refused one holds nothing and is deleted here.
void Finish( EFCollisionMap* map, const s32 code ) {
	if ( code != DT_PERSIST_OK ) {
		FuzzCheck( !map->IsOwnedElsewhere() && map->GetBlob() == nullptr, "a refused map kept its blob" );
		FuzzCheck( EFPhysicMgr::moPhysicMgr.GetFirstMap() == nullptr, "a refused map was registered" );
		delete map;
		return;
	}
	FuzzCheck( map->IsOwnedElsewhere() && EFPhysicMgr::moPhysicMgr.GetFirstMap() == map,
			   "a loaded map is not registered" );
	Query( *map );
	EFPhysicMgr::moPhysicMgr.Terminate();
}

EFCollisionMap* MakeMap() {
	const DTDynamicInstanciator::TInstanceMap* const entry =
		DTDynamicInstanciator::GetInstance().GeInfoByClsID( EF_COLLISION_MAP_CLASS_ID );
	FuzzCheck( entry != nullptr && entry->mpfnFactory != nullptr, "the collision map is not registered" );
	return static_cast<EFCollisionMap*>( entry->mpfnFactory() );
}

void LoadCollisionMap( const u8* data, const size_t size ) {
	if ( size == 0 ) {
		return;
	}
	EFCollisionMap* const map = MakeMap();
	if ( ( data[0] & 1 ) == 0 ) {
		FuzzCheck( FuzzDiscWriteFile( "RECORD.BIN", data + 1, size - 1 ), "cannot write the record" );
		DTFileHandle_* const file = DTFopen( "RECORD.BIN", "r" );
		FuzzCheck( file != nullptr, "cannot open the record" );
		s32 code = DT_PERSIST_OK;
		{
			DTBinaryPersistStream stream( file );
			code = map->Load( stream );
		}
		DTFclose( file );
		Finish( map, code );
	} else {
		u32 length = 0;
		for ( size_t i = 1; i < 5 && i < size; i++ ) {
			length = length << 8 | data[i];
		}
		const size_t recordStart = std::min<size_t>( 5, size );
		const size_t recordEnd = recordStart + std::min<size_t>( length, size - recordStart );
		FuzzCheck( FuzzDiscWriteFile( kMapFile, data + recordEnd, size - recordEnd ), "cannot write the map file" );
		std::vector<char> record( data + recordStart, data + recordEnd );
		DTMemoryPersistStream stream( record.empty() ? nullptr : record.data(), static_cast<s32>( record.size() ) );
		char word[DT_STREAMABLE_WORD_MAX] = "BEGIN";
		Finish( map, map->LoadPropertiesText( word, stream ) );
	}
	FuzzDiscCloseFiles();
}

std::vector<u8> BinaryInput( const std::vector<u8>& blob ) {
	std::vector<u8> input = { 0 };
	const std::vector<u8> record = ToolCollisionMapWriter::BinaryRecord( blob );
	input.insert( input.end(), record.begin(), record.end() );
	return input;
}

std::vector<u8> FileInput( const std::vector<u8>& blob ) {
	const std::vector<u8> record = ToolCollisionMapWriter::FileRecord( kMapFile );
	ToolBigEndianWriter out;
	out.WriteU8( 1 );
	out.WriteU32( static_cast<u32>( record.size() ) );
	out.WriteBytes( record );
	out.WriteBytes( blob );
	return out.Take();
}

} // namespace

FUZZ_TARGET( collision_map ) {
	FuzzWithoutArenaLeak( LoadCollisionMap, data, size );
}

static void FuzzSeeds_collision_map( std::vector<FuzzSeed>& seeds ) {
	std::string error;
	std::vector<u8> blob;
	FuzzCheck( ToolCollisionMapWriter::Encode( ToolSampleCollisionMap(), blob, error ), "the sample map does not write" );
	seeds.push_back( { "sample-binary", BinaryInput( blob ) } );
	seeds.push_back( { "sample-file", FileInput( blob ) } );
	// One room and a few random polygons, in a small octree.
	ToolColMap level = ToolLevelCollisionScene( 54, 30, 10.0f, 6 );
	level.leafSize = 4;
	level.maxDepth = 3;
	ToolColMapLayout layout;
	FuzzCheck( ToolCollisionMapWriter::Encode( level, blob, error, &layout ), "the level scene does not write" );
	seeds.push_back( { "rooms-binary", BinaryInput( blob ) } );
	seeds.push_back( { "rooms-file", FileInput( blob ) } );
	for ( const ToolColMapVariant& variant : ToolCollisionMapWriter::Malformed( blob, layout ) ) {
		seeds.push_back( { "malformed " + variant.name, BinaryInput( variant.blob ) } );
	}
	const char* const fixtures[] = { kOneTriangleMapHex, kSplitOnXMapHex, kSharedPolygonMapHex };
	for ( size_t i = 0; i < 3; i++ ) {
		seeds.push_back( { "fixture-" + std::to_string( i ), BinaryInput( HexBytes( fixtures[i] ) ) } );
		seeds.push_back( { "fixture-file-" + std::to_string( i ), FileInput( HexBytes( fixtures[i] ) ) } );
	}
}
