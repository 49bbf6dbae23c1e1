#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMesh.h"
#include "support/TestHexBytes.h"
#include "tools/lib/graphics3d/ToolBinMeshWriter.h"
#include "tools/lib/graphics3d/ToolGeometryWriter.h"
#include "RpWorldTestSupport.h"

#include <cstring>

namespace {

// Plug-in of materials that keeps the ambient value a new material had
// when its constructors ran.
constexpr u32 AMBIENT_PLUGIN = 0xF0F3;
s32 ambientOffset = 0;

void* KeepAmbient( void* object, const s32 offset, s32 ) {
	*RwPluginData<f32>( object, offset ) = static_cast<RpMaterial*>( object )->surfaceProps.ambient;
	return object;
}

class RpGeometryTest : public RpWorldTestCase {
protected:
	void RegisterPlugins() override { ambientOffset = RpMaterialRegisterPlugin( 4, AMBIENT_PLUGIN, KeepAmbient, nullptr, nullptr ); }

	void TearDown() override {
		EXPECT_EQ( RpTestAlive::materials, 0 );
		RpWorldTestCase::TearDown();
	}

	RpGeometry* Read( const ToolGeometry& geometry ) {
		return RpGeometryStreamRead(
			OpenAt( RpTestBytes( [&]( ToolChunkWriter& w ) { ToolGeometryWriter::Write( w, geometry ); } ), rwID_GEOMETRY ) );
	}

	// Four vertices, two triangles of materials 0 and -1, one material.
	static ToolGeometry Quad() {
		ToolGeometry g;
		g.format = 0x02 | 0x04 | 0x08;
		g.numVertices = 4;
		g.preLit = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16 };
		g.texCoords = { { 0, 0, 1, 0, 0, 1, 1, 1 } };
		g.triangles = { { { 0, 1, 2 }, 0 }, { { 2, 1, 3 }, -1 } };
		g.morphTargets[0].sphere = { 0.5f, 0.5f, 0.0f, 0.75f };
		g.morphTargets[0].positions = { 0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0 };
		g.materials.indices = { -1 };
		g.materials.materials = { ToolMaterial{} };
		return g;
	}
};

TEST_F( RpGeometryTest, CreationFlagsAndTextureCoordinateSets ) {
	struct Case {
		s32		vertices;
		s32		triangles;
		u32		format;
		bool	created;
		u32		flags;
		s32		sets;
		RwError	error;
	};
	const Case cases[] = {
		{ 3, 1, 0x04, true, 0x04, 1, { 0, 0x80000000 } },
		{ 3, 1, 0x80, true, 0x80, 2, { 0, 0x80000000 } },
		{ 3, 1, 0x84, true, 0x80, 2, { 0, 0x80000000 } },
		{ 3, 1, 0x00030004, true, 0x80, 3, { 0, 0x80000000 } },
		{ 3, 1, 0x00080000, true, 0x80, 8, { 0, 0x80000000 } },
		{ 3, 1, 0x0F0000FF, true, 0x0F0000FB, 2, { 0, 0x80000000 } },
		{ 3, 1, 0x01000002, true, 0x01000002, 0, { 0, 0x80000000 } },
		{ 3, 1, 0x00090000, false, 0, 0, { 0, 0x80000018 } },
		{ 65535, 0, 0x02, true, 0x02, 0, { 0, 0x80000000 } },
		{ 65536, 0, 0x02, false, 0, 0, { 2, 6 } },
		{ -1, 0, 0x02, false, 0, 0, { 0, 0x80000000 } },
		{ 3, -1, 0x02, false, 0, 0, { 0, 0x80000000 } },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.format );
		RpGeometry* const geometry = RpGeometryCreate( c.vertices, c.triangles, c.format );
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, c.error.pluginID );
		EXPECT_EQ( error.errorCode, c.error.errorCode );
		ASSERT_EQ( geometry != nullptr, c.created );
		if ( geometry == nullptr ) {
			continue;
		}
		EXPECT_EQ( geometry->object.type, rpGEOMETRY );
		EXPECT_EQ( geometry->flags, c.flags );
		EXPECT_EQ( geometry->numTexCoordSets, c.sets );
		EXPECT_EQ( geometry->numMorphTargets, 1 );
		const bool native = ( c.flags & rpGEOMETRYNATIVE ) != 0;
		for ( s32 set = 0; set < RPGEOMETRY_MAX_TEXCOORD_SETS; set++ ) {
			EXPECT_EQ( geometry->texCoords[set] != nullptr, set < c.sets && !native );
		}
		EXPECT_EQ( geometry->triangles != nullptr, c.triangles > 0 && !native );
		if ( geometry->triangles != nullptr ) {
			EXPECT_EQ( geometry->triangles[0].matIndex, -1 );
		}
		EXPECT_EQ( geometry->morphTarget[0].verts != nullptr, !native );
		RpGeometryDestroy( geometry );
	}
}

TEST_F( RpGeometryTest, AddedMorphTargetsLeaveEarlierOnesTheirData ) {
	RpGeometry* const geometry = RpGeometryCreate( 3, 1, rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS );
	for ( s32 i = 0; i < 3; i++ ) {
		geometry->morphTarget[0].verts[i] = { 1.0f * i, 2.0f, 3.0f };
		geometry->morphTarget[0].normals[i] = { 0.0f, 0.0f, -1.0f * i };
	}
	geometry->morphTarget[0].boundingSphere = { { 1, 2, 3 }, 4 };
	EXPECT_EQ( RpGeometryAddMorphTargets( geometry, 2 ), 1 );
	EXPECT_EQ( RpGeometryAddMorphTargets( geometry, 1 ), 3 );
	ASSERT_EQ( geometry->numMorphTargets, 4 );
	for ( s32 i = 0; i < 3; i++ ) {
		EXPECT_EQ( geometry->morphTarget[0].verts[i].x, 1.0f * i );
		EXPECT_EQ( geometry->morphTarget[0].normals[i].z, -1.0f * i );
	}
	EXPECT_EQ( geometry->morphTarget[0].boundingSphere.radius, 4.0f );
	for ( s32 t = 1; t < 4; t++ ) {
		const RpMorphTarget& target = geometry->morphTarget[t];
		EXPECT_EQ( target.parentGeom, geometry );
		EXPECT_EQ( target.boundingSphere.radius, 0.0f );
		// Records first, then each target's positions and normals in order.
		EXPECT_EQ( reinterpret_cast<u8*>( target.verts ), reinterpret_cast<u8*>( geometry->morphTarget[t - 1].normals + 3 ) );
		EXPECT_EQ( target.normals, target.verts + 3 );
	}
	EXPECT_EQ( reinterpret_cast<u8*>( geometry->morphTarget[0].verts ), reinterpret_cast<u8*>( geometry->morphTarget + 4 ) );
	RpGeometryDestroy( geometry );
}

TEST_F( RpGeometryTest, LockingPolygonsDropsTheMeshesAndUnlockingRebuildsThem ) {
	RpGeometry* const geometry = RpGeometryCreate( 4, 2, rpGEOMETRYPOSITIONS | rpGEOMETRYTRISTRIP );
	geometry->triangles[0] = { { 0, 1, 2 }, -1 };
	geometry->triangles[1] = { { 2, 1, 3 }, -1 };
	ASSERT_EQ( RpGeometryUnlock( geometry ), geometry );
	RpMeshHeader* const first = geometry->mesh;
	ASSERT_NE( first, nullptr );
	EXPECT_EQ( first->flags, rpMESHHEADERTRISTRIP );
	const u16 serial = first->serialNum;
	RpGeometryLock( geometry, rpGEOMETRYPOSITIONS );
	EXPECT_EQ( geometry->mesh, first );
	RpGeometryLock( geometry, rpGEOMETRYLOCKPOLYGONS );
	EXPECT_EQ( geometry->mesh, nullptr );
	EXPECT_EQ( geometry->lockedSinceLastInst, rpGEOMETRYPOSITIONS | rpGEOMETRYLOCKPOLYGONS );
	ASSERT_EQ( RpGeometryUnlock( geometry ), geometry );
	EXPECT_NE( geometry->mesh->serialNum, serial );
	_rpGeometryAddRef( geometry );
	EXPECT_TRUE( RpGeometryDestroy( geometry ) );
	EXPECT_EQ( geometry->refCount, 1 );
	EXPECT_NE( geometry->mesh, nullptr );
	RpGeometryDestroy( geometry );
}

TEST_F( RpGeometryTest, ReadsAPinnedGeometryChunkByteForByte ) {
	// One triangle (0, 1, 2) of material -1 over 3 vertices, positions only,
	// struct of version 0x34003, an empty material list.
	const std::vector<u8> bytes = HexBytes(
		"0F000000 88000000 FFFF0310"
		"01000000 10000000 FFFF0310 02000000 01000000 03000000 01000000"
		"01000000 FFFF0200"
		"00000000 00000000 00000000 0000803F 01000000 00000000"
		"0000803F 00000000 00000000 00000000 0000803F 00000000 00000000 00000000 0000803F"
		"08000000 10000000 FFFF0310 01000000 04000000 FFFF0310 00000000"
		"03000000 00000000 FFFF0310" );
	ToolGeometry source;
	source.numVertices = 3;
	source.triangles = { { { 0, 1, 2 }, -1 } };
	source.morphTargets[0].sphere = { 0, 0, 0, 1 };
	source.morphTargets[0].positions = { 1, 0, 0, 0, 1, 0, 0, 0, 1 };
	EXPECT_EQ( bytes, RpTestBytes( [&]( ToolChunkWriter& w ) { ToolGeometryWriter::Write( w, source ); } ) );
	RpGeometry* const geometry = RpGeometryStreamRead( OpenAt( bytes, rwID_GEOMETRY ) );
	ASSERT_NE( geometry, nullptr );
	EXPECT_EQ( geometry->triangles[0].vertIndex[1], 1 );
	EXPECT_EQ( geometry->triangles[0].matIndex, -1 );
	EXPECT_EQ( geometry->morphTarget[0].verts[2].z, 1.0f );
	EXPECT_EQ( geometry->morphTarget[0].boundingSphere.radius, 1.0f );
	ASSERT_NE( geometry->mesh, nullptr );
	EXPECT_EQ( geometry->mesh->totalIndicesInMesh, 3u );
	RpGeometryDestroy( geometry );
}

TEST_F( RpGeometryTest, ReadsArraysSurfacePropertiesAndMeshesOfEachForm ) {
	struct Case {
		const char*		name;
		ToolGeometry	source;
		f32				ambientAtCreation;	// of the list's material
		bool			meshFromStream;
	};
	ToolGeometry old = Quad();
	old.version = 0x34000;
	old.surface = { 0.5f, 0.25f, 0.125f };
	old.materials.stamp = ToolChunkWriter::EncodeStamp( 0x34000, 0xFFFF );
	ToolGeometry oldStructNewList = old;
	oldStructNewList.materials.stamp = 0;
	ToolGeometry longStruct = Quad();
	longStruct.extraStructBytes = 4;
	ToolGeometry withMesh = Quad();
	ToolBinMesh entry;
	entry.meshes = { { { 0, 1, 2, 2, 1, 3 }, 0, {} } };
	ToolChunkWriter payload;
	ToolBinMeshWriter::WritePayload( payload, entry );
	std::vector<u8> entryBytes;
	ASSERT_TRUE( payload.Finish( entryBytes ) );
	withMesh.extension = { { TOOL_PLUGIN_BIN_MESH, entryBytes } };
	const Case cases[] = {
		{ "0x34000 struct and list: surface properties reach the materials", old, 0.5f, false },
		{ "0x34000 struct with a new list", oldStructNewList, 1.0f, false },
		{ "0x34003 struct of 20 bytes", longStruct, 1.0f, false },
		{ "meshes from the extension", withMesh, 1.0f, true },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		RpGeometry* const geometry = Read( c.source );
		ASSERT_NE( geometry, nullptr );
		EXPECT_EQ( geometry->preLitLum[3].alpha, 16 );
		EXPECT_EQ( geometry->texCoords[0][3].v, 1.0f );
		EXPECT_EQ( geometry->triangles[1].vertIndex[2], 3 );
		EXPECT_EQ( geometry->morphTarget[0].verts[3].y, 1.0f );
		ASSERT_EQ( geometry->matList.numMaterials, 1 );
		EXPECT_EQ( *RwPluginData<f32>( geometry->matList.materials[0], ambientOffset ), c.ambientAtCreation );
		EXPECT_EQ( _rpMaterialGetDefaultSurfaceProperties()->ambient, 1.0f );
		ASSERT_NE( geometry->mesh, nullptr );
		// The stream's one mesh, or one mesh per material (and none).
		EXPECT_EQ( geometry->mesh->numMeshes, c.meshFromStream ? 1 : 2 );
		RpGeometryDestroy( geometry );
	}
}

TEST_F( RpGeometryTest, NativeAndEmptyGeometriesReadNoArrays ) {
	ToolGeometry empty;
	empty.numVertices = 0;
	RpGeometry* const geometry = Read( empty );
	ASSERT_NE( geometry, nullptr );
	EXPECT_EQ( geometry->mesh->numMeshes, 0 );
	RpGeometryDestroy( geometry );

	ToolGeometry native;
	native.format = rpGEOMETRYNATIVE | rpGEOMETRYPOSITIONS;
	native.numVertices = 4;
	native.storedTriangles = 2;
	native.morphTargets = { ToolMorphTarget{ { 0, 0, 0, 2.5f }, {}, {} }, ToolMorphTarget{ { 0, 0, 0, 3.5f }, {}, {} } };
	// Without meshes in its extension a native geometry cannot unlock.
	EXPECT_EQ( Read( native ), nullptr );
	ToolBinMesh entry;
	entry.native = true;
	entry.meshes = { { { 0, 1, 2, 3 }, 0, {} } };
	ToolChunkWriter payload;
	ToolBinMeshWriter::WritePayload( payload, entry );
	std::vector<u8> entryBytes;
	ASSERT_TRUE( payload.Finish( entryBytes ) );
	native.extension = { { TOOL_PLUGIN_BIN_MESH, entryBytes } };
	RpGeometry* const read = Read( native );
	ASSERT_NE( read, nullptr );
	EXPECT_EQ( read->numMorphTargets, 2 );
	EXPECT_EQ( read->morphTarget[1].boundingSphere.radius, 3.5f );
	EXPECT_EQ( read->triangles, nullptr );
	EXPECT_EQ( read->mesh->numMeshes, 1 );
	EXPECT_EQ( RpMeshHeaderGetMeshes( read->mesh )->numIndices, 4u );
	RpGeometryDestroy( read );
}

TEST_F( RpGeometryTest, MalformedGeometriesFailAndLeaveNothingAllocated ) {
	struct Case {
		const char*		name;
		ToolGeometry	source;
		u32				errorCode;
	};
	ToolGeometry nineSets = Quad();
	nineSets.format |= 0x00090000;
	ToolGeometry noTargets = Quad();
	noTargets.storedMorphTargets = 0;
	ToolGeometry vertexPastTheEnd = Quad();
	vertexPastTheEnd.triangles[1].v[2] = 4;
	ToolGeometry materialPastTheList = Quad();
	materialPastTheList.triangles[1].material = 1;
	ToolGeometry shortStruct = Quad();
	shortStruct.version = 0x34000;
	ToolGeometry trianglesWithoutVertices;
	trianglesWithoutVertices.storedTriangles = 1;
	ToolGeometry normalsWithoutRoom = Quad();
	normalsWithoutRoom.morphTargets[0].normals = std::vector<f32>( 12, 0.0f );
	ToolGeometry millionTriangles = Quad();
	millionTriangles.storedTriangles = 1000000;
	ToolGeometry badList = Quad();
	badList.materials.stamp = ToolChunkWriter::EncodeStamp( 0x34004, 0xFFFF );
	// Every target's vertex arrays are sized before its bytes are read: the
	// chunk must hold each target's positions.
	ToolGeometry manyTargets;
	manyTargets.numVertices = 65535;
	manyTargets.morphTargets = std::vector<ToolMorphTarget>( 170 );
	const Case cases[] = {
		{ "nine texture-coordinate sets", nineSets, 0x80000018 },
		{ "no morph target", noTargets, 0x8000001A },
		{ "triangle vertex at the vertex count", vertexPastTheEnd, 0x8000001A },
		{ "material index past the list", materialPastTheList, 0x8000001A },
		{ "old struct cut to 16 bytes", shortStruct, 0x8000001A },
		{ "triangles without vertices", trianglesWithoutVertices, 0x8000001A },
		{ "normals stored without the normals format", normalsWithoutRoom, 0x8000001A },
		{ "material list of a bad version", badList, 0x80000004 },
		{ "a million triangles in a small stream", millionTriangles, 0x8000001A },
		{ "170 morph targets of 65535 vertices in 4 KB", manyTargets, 0x8000001A },
	};
	for ( Case c : cases ) {
		SCOPED_TRACE( c.name );
		if ( c.source.version == 0x34000 ) {
			// Written as a new struct, read as an old one.
			std::vector<u8> bytes = RpTestBytes( [&]( ToolChunkWriter& w ) {
				ToolGeometry newer = c.source;
				newer.version = TOOL_CHUNK_VERSION;
				ToolGeometryWriter::Write( w, newer );
			} );
			const u32 stamp = ToolChunkWriter::EncodeStamp( 0x34000, 0xFFFF );
			std::memcpy( &bytes[12 + 8], &stamp, 4 );
			EXPECT_EQ( RpGeometryStreamRead( OpenAt( bytes, rwID_GEOMETRY ) ), nullptr );
		} else {
			EXPECT_EQ( Read( c.source ), nullptr );
		}
		const RwError error = RwTestReadError();
		EXPECT_EQ( error.pluginID, 0u );
		EXPECT_EQ( error.errorCode, c.errorCode );
		EXPECT_EQ( RpTestAlive::materials, 0 );
	}
}

}	// namespace
