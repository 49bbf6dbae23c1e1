// Skins: quantised weights, the four stream forms, refused data, the
// palette in its four cases and bone checks, and blending against a float
// reference.
#include "graphics3d/core/RwStream.h"
#include "graphics3d/gamecube/RpGameCubeVtxFmt.h"
#include "graphics3d/gamecube/RpNativeGeometry.h"
#include "graphics3d/gamecube/RwGameCube.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpHAnim.h"
#include "graphics3d/world/RpMesh.h"
#include "graphics3d/gamecube/RxGCInstance.h"
#include "graphics3d/core/RwResources.h"
#include "graphics3d/world/RpSkin.h"
#include "graphics3d/world/RpWorldPlugin.h"
#include "tools/lib/graphics3d/ToolGeometryWriter.h"
#include "tools/lib/graphics3d/ToolSkinWriter.h"
#include "tools/lib/graphics3d/ToolWorldWriter.h"

#include "platform/host/HostEventQueue.h"

#include "RpGameCubeTestCase.h"

#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr u32 VERTICES = 4;

class RpSkinTest : public RpGameCubeTestCase {
protected:
	bool AttachPlugins() override { return RpWorldPluginAttach() && RpHAnimPluginAttach() && RpSkinPluginAttach(); }

	void TearDown() override {
		for ( RwStream* stream : streams ) {
			RwStreamClose( stream, nullptr );
		}
		RwDlTestCase::TearDown();
	}

	// A 4-vertex geometry (native when asked) with the skin entry.
	RpGeometry* Read( const std::vector<u8>& payload, const bool native = false ) {
		ToolGeometry geometry;
		geometry.numVertices = VERTICES;
		geometry.format = native ? 0x01000002 : 0x02;
		if ( !native ) {
			geometry.morphTargets[0].positions = { 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0 };
			geometry.triangles = { { { 0, 1, 2 }, 0 }, { { 0, 2, 3 }, 0 } };
		}
		geometry.materials = ToolWorldWriter::PlainMaterials( 1 );
		geometry.extension.push_back( { TOOL_SKIN_PLUGIN, payload } );
		if ( native ) {
			// A native geometry brings its meshes with it.
			geometry.extension.push_back( { 0x50E, { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } } );
		}
		ToolChunkWriter writer;
		ToolGeometryWriter::Write( writer, geometry );
		held.emplace_back();
		writer.Finish( held.back() );
		RwMemory memory = { held.back().data(), static_cast<u32>( held.back().size() ) };
		RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
		streams.push_back( stream );
		EXPECT_TRUE( RwStreamFindChunk( stream, TOOL_CHUNK_GEOMETRY, nullptr, nullptr ) );
		return RpGeometryStreamRead( stream );
	}

	// Four bones, one weight, vertex v on bone v, one run per mesh of the
	// given bones.
	static ToolSkin OneWeightSplit( const std::vector<std::array<u8, 2>>& meshes, const std::vector<std::array<u8, 2>>& runs ) {
		ToolSkin split;
		split.numBones = 4;
		split.usedBones = { 0, 1, 2, 3 };
		split.maxNumWeights = 1;
		split.indices = { { 0, 0, 0, 0 }, { 1, 0, 0, 0 }, { 2, 0, 0, 0 }, { 3, 0, 0, 0 } };
		split.weights = std::vector<std::array<f32, 4>>( VERTICES, { 1, 0, 0, 0 } );
		split.matrices = std::vector<std::array<f32, 16>>( 4, ToolSkinWriter::Translation( 0, 0, 0 ) );
		split.remap = { 0, 1, 2, 3 };
		split.meshes = meshes;
		split.runs = runs;
		return split;
	}

	static ToolSkin TwoBoneSkin() {
		ToolSkin skin;
		skin.numBones = 3;
		skin.usedBones = { 0, 2 };
		skin.maxNumWeights = 3;
		skin.indices = { { 0, 2, 1, 0 }, { 2, 0, 0, 0 }, { 0, 2, 1, 0 }, { 0, 0, 0, 0 } };
		skin.weights = { { 0.333f, 0.333f, 0.334f, 0 }, { 1, 0, 0, 0 }, { 0.5f, 0.5f, 0, 0 }, { 1, 0, 0, 0 } };
		skin.matrices = { ToolSkinWriter::Translation( 1, 0, 0 ), ToolSkinWriter::Translation( 0, 1, 0 ),
						  ToolSkinWriter::Translation( 0, 0, 1 ) };
		return skin;
	}

	std::vector<std::vector<u8>>	held;
	std::vector<RwStream*>			streams;
};

TEST_F( RpSkinTest, WeightsAreSortedAndQuantisedToAddUpTo128 ) {
	RpGeometry* const geometry = Read( ToolSkinWriter::Payload( TwoBoneSkin(), ToolSkinForm::Portable ) );
	ASSERT_NE( geometry, nullptr );
	const RpSkin* const skin = RpSkinGeometryGetSkin( geometry );
	ASSERT_NE( skin, nullptr );
	ASSERT_EQ( skin->maxNumWeights, 3u );
	// 0.334 moves first with its bone; 42, 42, 42 raised to 43, 43, 42.
	EXPECT_EQ( std::vector<u8>( skin->quantisedWeights, skin->quantisedWeights + 3 ), ( std::vector<u8>{ 43, 43, 42 } ) );
	EXPECT_EQ( std::vector<u8>( skin->quantisedIndices, skin->quantisedIndices + 3 ), ( std::vector<u8>{ 1, 2, 0 } ) );
	EXPECT_EQ( std::vector<u8>( skin->quantisedWeights + 6, skin->quantisedWeights + 9 ), ( std::vector<u8>{ 64, 64, 0 } ) );
	EXPECT_EQ( skin->skinToBoneMatrices[2].pos.z, 1.0f );
	RpGeometryDestroy( geometry );
}

TEST_F( RpSkinTest, ReadsTheOlderNativeAndLegacyForms ) {
	ToolSkin older = TwoBoneSkin();
	older.usedBones.clear();
	RpGeometry* const fromOlder = Read( ToolSkinWriter::Payload( older, ToolSkinForm::Older ) );
	ASSERT_NE( fromOlder, nullptr );
	const RpSkin* const computed = RpSkinGeometryGetSkin( fromOlder );
	EXPECT_EQ( computed->maxNumWeights, 3u );
	EXPECT_EQ( std::vector<u8>( computed->usedBones, computed->usedBones + computed->numUsedBones ),
			   ( std::vector<u8>{ 0, 2, 1 } ) );
	EXPECT_EQ( computed->skinToBoneMatrices[1].pos.y, 1.0f );
	RpGeometryDestroy( fromOlder );

	ToolSkin native = TwoBoneSkin();
	native.maxNumWeights = 2;
	native.quantisedIndices = { 0, 2, 2, 0, 0, 2, 0, 0 };
	native.quantisedWeights = { 64, 64, 128, 0, 64, 64, 128, 0 };
	RpGeometry* const fromNative = Read( ToolSkinWriter::Payload( native, ToolSkinForm::Native ), true );
	ASSERT_NE( fromNative, nullptr );
	const RpSkin* const quantised = RpSkinGeometryGetSkin( fromNative );
	EXPECT_EQ( quantised->vertexBoneWeights, nullptr );
	EXPECT_EQ( quantised->quantisedWeights[2], 128 );
	EXPECT_EQ( quantised->skinToBoneMatrices[0].pos.x, 1.0f );	// big-endian in the stream
	EXPECT_EQ( fromNative->lockedSinceLastInst & 0x02, 0x02 );
	RpGeometryDestroy( fromNative );

	// Wrong version: {0, 0x80000004}; another platform: refused silently.
	ToolSkin oldVersion = native;
	oldVersion.nativeVersion = 0x34001;
	EXPECT_EQ( Read( ToolSkinWriter::Payload( oldVersion, ToolSkinForm::Native ), true ), nullptr );
	EXPECT_EQ( RwDlTestReadError().errorCode, 0x80000004u );
	ToolSkin otherPlatform = native;
	otherPlatform.platform = 5;
	EXPECT_EQ( Read( ToolSkinWriter::Payload( otherPlatform, ToolSkinForm::Native ), true ), nullptr );

	// The legacy atomic form sets the skin on a geometry without one.
	RpGeometry* const bare = RpGeometryCreate( VERTICES, 0, 0x02 );
	RpAtomic* const atomic = RpAtomicCreate();
	RpAtomicSetGeometry( atomic, bare, 0 );
	const RwPluginRegEntry* entry = atomicTKList.firstRegEntry;
	while ( entry != nullptr && entry->pluginID != rwID_SKINPLUGIN ) {
		entry = entry->nextRegEntry;
	}
	ASSERT_NE( entry, nullptr );
	held.push_back( ToolSkinWriter::Payload( older, ToolSkinForm::LegacyAtomic ) );
	RwMemory memory = { held.back().data(), static_cast<u32>( held.back().size() ) };
	RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
	streams.push_back( stream );
	EXPECT_EQ( entry->readCB( stream, static_cast<s32>( held.back().size() ), atomic, entry->offset, entry->size ), stream );
	ASSERT_NE( RpSkinGeometryGetSkin( bare ), nullptr );
	EXPECT_EQ( RpSkinGeometryGetSkin( bare )->numUsedBones, 3u );
	RpGeometryDestroy( bare );
	RpAtomicDestroy( atomic );
}

TEST_F( RpSkinTest, RefusesSkinsThatNameWhatTheyDoNotHave ) {
	const std::vector<std::pair<const char*, std::function<void( ToolSkin& )>>> rows = {
		{ "a used bone past the bones", []( ToolSkin& s ) { s.usedBones = { 0, 3 }; } },
		{ "more used bones than bones", []( ToolSkin& s ) { s.usedBones = { 0, 1, 2, 0 }; } },
		{ "five weights", []( ToolSkin& s ) { s.maxNumWeights = 5; } },
		{ "a weighted vertex bone past the bones", []( ToolSkin& s ) { s.indices[1] = { 7, 0, 0, 0 }; } },
		{ "one weight on a bone not in use", []( ToolSkin& s ) {
			  s.maxNumWeights = 1;
			  s.usedBones = { 2 };
			  s.weights = { { 1, 0, 0, 0 }, { 1, 0, 0, 0 }, { 1, 0, 0, 0 }, { 1, 0, 0, 0 } };
		  } },
		{ "a mesh's runs past the runs", []( ToolSkin& s ) {
			  s.remap = { 0, 1, 2 };
			  s.meshes = { { 0, 2 } };
			  s.runs = { { 0, 1 } };
		  } },
		{ "a run past the bones", []( ToolSkin& s ) {
			  s.remap = { 0, 1, 2 };
			  s.meshes = { { 0, 1 } };
			  s.runs = { { 2, 2 } };
		  } },
		{ "a mesh of eleven bones", []( ToolSkin& s ) {
			  s.numBones = 12;
			  s.matrices.resize( 12, ToolSkinWriter::Translation( 0, 0, 0 ) );
			  s.remap = std::vector<u8>( 12, 0 );
			  s.meshes = { { 0, 2 } };
			  s.runs = { { 0, 6 }, { 6, 5 } };
		  } },
		{ "bytes past the record", []( ToolSkin& s ) { s.storedCounts = 3 | 1 << 8 | 3 << 16; } },
	};
	for ( const auto& row : rows ) {
		ToolSkin skin = TwoBoneSkin();
		row.second( skin );
		const u32 live = RwDlTestMemory::live;
		EXPECT_EQ( Read( ToolSkinWriter::Payload( skin, ToolSkinForm::Portable ) ), nullptr ) << row.first;
		EXPECT_EQ( RwDlTestReadError().errorCode, 0x8000001Au ) << row.first;
		EXPECT_EQ( RwDlTestMemory::live, live ) << row.first;
		RwStreamClose( streams.back(), nullptr );
		streams.pop_back();
	}
}

// A hierarchy of numNodes nodes whose matrices translate by (0, 2i, 0).
RpHAnimHierarchy* Hierarchy( const s32 numNodes, const s32 flags ) {
	RpHAnimHierarchy* const hierarchy = RpHAnimHierarchyCreate( numNodes, nullptr, nullptr, flags, 36 );
	for ( s32 i = 0; hierarchy != nullptr && hierarchy->pMatrixArray != nullptr && i < numNodes; i++ ) {
		_rwMatrixSetIdentity( &hierarchy->pMatrixArray[i] );
		hierarchy->pMatrixArray[i].pos = { 0.0f, 2.0f * static_cast<f32>( i ), 0.0f };
	}
	return hierarchy;
}

TEST_F( RpSkinTest, ThePaletteCoversItsFourCasesAndOnlyBonesTheHierarchyHas ) {
	// Five bones translating by (bone, 0, 0); the atomic at z = 3; the
	// camera's inverse at y = -10.
	RpSkin* const skin = SkinCreateSkinData( 5, 5, 0, nullptr, nullptr, nullptr, nullptr );
	for ( u8 b = 0; b < 5; b++ ) {
		skin->usedBones[b] = b;
		_rwMatrixSetIdentity( &skin->skinToBoneMatrices[b] );
		skin->skinToBoneMatrices[b].pos = { static_cast<f32>( b ), 0.0f, 0.0f };
	}
	RwMatrix ltm;
	_rwMatrixSetIdentity( &ltm );
	ltm.pos = { 0.0f, 0.0f, 3.0f };
	RwMatrixOptimize( &ltm, nullptr );
	_rwMatrixSetIdentity( &_RwDlInvCamLTM );
	_RwDlInvCamLTM.pos = { 0.0f, -10.0f, 0.0f };
	const struct {
		const char*	what;
		u32			maxNumWeights;
		s32			flags;
		RwV3d		bone2;			// palette[2].pos
	} rows[] = {
		{ "blended", 2, 0, { 2.0f, 4.0f, -3.0f } },
		{ "one weight: camera space", 1, 0, { 2.0f, -6.0f, 0.0f } },
		{ "blended, local matrices", 2, rpHANIMHIERARCHYLOCALSPACEMATRICES, { 2.0f, 4.0f, 0.0f } },
		{ "one weight, local matrices", 1, rpHANIMHIERARCHYLOCALSPACEMATRICES, { 2.0f, -6.0f, 3.0f } },
	};
	RpHAnimHierarchy* const three = Hierarchy( 3, 0 );
	ASSERT_NE( three, nullptr );
	for ( const auto& row : rows ) {
		skin->maxNumWeights = row.maxNumWeights;
		three->flags = row.flags;
		RwMatrix palette[RPSKIN_PALETTE_SIZE];
		for ( RwMatrix& m : palette ) {
			m.pos = { 99.0f, 99.0f, 99.0f };
		}
		_rpSkinMatrixBlendUpdate( palette, skin, &ltm, three );
		EXPECT_NEAR( palette[2].pos.x, row.bone2.x, 1e-5f ) << row.what;
		EXPECT_NEAR( palette[2].pos.y, row.bone2.y, 1e-5f ) << row.what;
		EXPECT_NEAR( palette[2].pos.z, row.bone2.z, 1e-5f ) << row.what;
		// Bones 3 and 4 are not in the 3-node hierarchy: left as they were.
		EXPECT_EQ( palette[3].pos.x, 99.0f ) << row.what;
		EXPECT_EQ( palette[4].pos.y, 99.0f ) << row.what;
	}
	RpHAnimHierarchyDestroy( three );
	// A hierarchy without matrices: a node without frame keeps its entry.
	RpHAnimHierarchy* const frames = Hierarchy( 3, rpHANIMHIERARCHYNOMATRICES );
	ASSERT_NE( frames, nullptr );
	RwFrame* const frame = RwFrameCreate();
	const RwV3d up = { 0.0f, 5.0f, 0.0f };
	RwFrameTranslate( frame, &up, rwCOMBINEREPLACE );
	frames->pNodeInfo[0].pFrame = frame;
	frames->pNodeInfo[1].pFrame = nullptr;
	frames->pNodeInfo[2].pFrame = nullptr;
	skin->maxNumWeights = 2;
	RwMatrix palette[RPSKIN_PALETTE_SIZE];
	for ( RwMatrix& m : palette ) {
		m.pos = { 99.0f, 99.0f, 99.0f };
	}
	_rpSkinMatrixBlendUpdate( palette, skin, &ltm, frames );
	EXPECT_NEAR( palette[0].pos.y, 5.0f, 1e-5f );
	EXPECT_EQ( palette[1].pos.x, 99.0f );
	frames->pNodeInfo[0].pFrame = nullptr;
	RpHAnimHierarchyDestroy( frames );
	RwFrameDestroy( frame );
	// No used bones: nothing is touched.
	skin->numUsedBones = 0;
	palette[0].pos.x = 42.0f;
	RpHAnimHierarchy* const one = Hierarchy( 5, 0 );
	_rpSkinMatrixBlendUpdate( palette, skin, &ltm, one );
	EXPECT_EQ( palette[0].pos.x, 42.0f );
	RpHAnimHierarchyDestroy( one );
	RpSkinDestroy( skin );
}

TEST_F( RpSkinTest, BlendsTwoToFourWeightsWithinQuantisationOfAFloatReference ) {
	RwMatrix palette[4];
	for ( u32 b = 0; b < 4; b++ ) {
		_rwMatrixSetIdentity( &palette[b] );
		const f32 angle = 0.4f * static_cast<f32>( b );
		palette[b].right = { std::cos( angle ), std::sin( angle ), 0.0f };
		palette[b].up = { -std::sin( angle ), std::cos( angle ), 0.0f };
		palette[b].pos = { static_cast<f32>( b ), 1.0f, -2.0f * static_cast<f32>( b ) };
	}
	const f32 position[3] = { 1.5f, -0.75f, 2.25f };
	const f32 normal[3] = { 0.0f, 0.6f, 0.8f };
	const struct {
		u32		m;
		u8		weights[4];
		u8		type;
		u8		fraction;
		f32		tolerance;
	} rows[] = {
		{ 2, { 96, 32, 0, 0 }, rpGCCOMP_F32, 0, 1e-5f },
		{ 3, { 64, 32, 32, 0 }, rpGCCOMP_F32, 0, 1e-5f },
		{ 4, { 32, 32, 32, 32 }, rpGCCOMP_F32, 0, 1e-5f },
		{ 4, { 64, 64, 0, 0 }, rpGCCOMP_F32, 0, 1e-5f },		// stops at the first zero
		{ 3, { 64, 32, 32, 0 }, rpGCCOMP_S16, 8, 2.0f / 256.0f },
		{ 4, { 32, 32, 32, 32 }, rpGCCOMP_S16, 8, 2.0f / 256.0f },
	};
	for ( const auto& row : rows ) {
		RpSkin skin = {};
		skin.maxNumWeights = row.m;
		u8 bones[4] = { 0, 1, 2, 3 };
		u8 weights[4];
		std::memcpy( weights, row.weights, 4 );
		skin.quantisedWeights = weights;
		skin.quantisedIndices = bones;
		u8 sourcePos[12];
		u8 sourceNrm[12];
		const u32 size = row.type == rpGCCOMP_F32 ? 4 : 2;
		for ( u32 k = 0; k < 3; k++ ) {
			_rwDlQuantisedStore( sourcePos + k * size, position[k], row.type, row.fraction );
			_rwDlQuantisedStore( sourceNrm + k * size, normal[k], row.type, row.type == rpGCCOMP_S16 ? 14 : 0 );
		}
		u8 destPos[12] = {};
		u8 destNrm[12] = {};
		_rpSkinBlendBody( &skin, palette, 1, sourcePos, sourceNrm, destPos, destNrm, row.type, row.fraction, row.type, false );
		f32 expected[3] = { 0, 0, 0 };
		f32 expectedN[3] = { 0, 0, 0 };
		for ( u32 k = 0; k < row.m && ( k == 0 || row.weights[k] != 0 ); k++ ) {
			const f32 w = row.weights[k] / 128.0f;
			const RwMatrix& p = palette[k];
			const f32 x = position[0], y = position[1], z = position[2];
			expected[0] += w * ( x * p.right.x + y * p.up.x + z * p.at.x + p.pos.x );
			expected[1] += w * ( x * p.right.y + y * p.up.y + z * p.at.y + p.pos.y );
			expected[2] += w * ( x * p.right.z + y * p.up.z + z * p.at.z + p.pos.z );
			expectedN[1] += w * ( normal[0] * p.right.y + normal[1] * p.up.y + normal[2] * p.at.y );
		}
		for ( u32 k = 0; k < 3; k++ ) {
			EXPECT_NEAR( _rwDlQuantisedLoad( destPos + k * size, row.type, row.fraction ), expected[k], row.tolerance )
				<< row.m << " " << +row.type << " " << k;
		}
		EXPECT_NEAR( _rwDlQuantisedLoad( destNrm + size, row.type, row.type == rpGCCOMP_S16 ? 14 : 0 ), expectedN[1], 1e-3f )
			<< row.m;
	}
}

TEST_F( RpSkinTest, AOneWeightSkinWithSplitDataLoadsEachMeshsRunsBeforeIt ) {
	const ToolSkin split = OneWeightSplit( { { 0, 1 }, { 1, 1 } }, { { 0, 2 }, { 2, 2 } } );
	RpGeometry* const geometry = Read( ToolSkinWriter::Payload( split, ToolSkinForm::Portable ) );
	ASSERT_NE( geometry, nullptr );
	for ( u32 b = 0; b < 4; b++ ) {
		_rwMatrixSetIdentity( &_rpSkinGlobals.palette[b] );
		_rpSkinGlobals.palette[b].pos.x = static_cast<f32>( b + 1 );
	}
	RpAtomic* const atomic = RpAtomicCreate();
	RpAtomicSetGeometry( atomic, geometry, 0 );
	RpMeshHeader* const mesh = _rpMeshHeaderCreate( _rpMeshHeaderBlockSize( 2, 0 ) );
	*mesh = { 0, 2, 1, 0, 0 };
	RpMeshHeaderGetMeshes( mesh )[0] = { nullptr, 0, nullptr };
	RpMeshHeaderGetMeshes( mesh )[1] = { nullptr, 0, nullptr };
	std::vector<u8> instance( sizeof( RwResEntry ) + sizeof( RxGCInstanceHeader ) + 2 * sizeof( RxGCDisplayListRecord ), 0 );
	RwResEntry* const entry = reinterpret_cast<RwResEntry*>( instance.data() );
	static u8 lists[2][32] = {};
	_rxGCDisplayListRecords( entry )[0] = { 32, lists[0] };
	_rxGCDisplayListRecords( entry )[1] = { 32, lists[1] };
	RxGCInstanceContext context = {};
	context.entry = entry;
	context.mesh = mesh;
	context.flags = 0x02;
	GXHostClearLog();
	EXPECT_EQ( _rpSkinRenderCallback( atomic, &context ), atomic );
	// Per display list, the (slot, bone) pairs loaded before it.
	std::vector<std::vector<std::pair<u32, s32>>> loads( 1 );
	for ( const GXHostRecord& record : GXHostCurrentFrame().records ) {
		if ( record.call == GXHOST_LOAD_POS_MTX ) {
			f32 x = 0.0f;
			std::memcpy( &x, &record.args[2], sizeof( x ) );
			loads.back().push_back( { record.args[0], static_cast<s32>( -x ) - 1 } );
		} else if ( record.call == GXHOST_CALL_DISPLAY_LIST ) {
			loads.emplace_back();
		}
	}
	const std::vector<std::vector<std::pair<u32, s32>>> expected = { { { 0, 0 }, { 3, 1 } }, { { 0, 2 }, { 3, 3 } }, {} };
	EXPECT_EQ( loads, expected );
	// The matrix index is a direct attribute; no transform is loaded.
	EXPECT_EQ( GXHostCallCount( GXHOST_LOAD_NRM_MTX ), 0u );
	RpAtomicDestroy( atomic );
	RpGeometryDestroy( geometry );
	_rpMeshDestroy( mesh );
}

TEST_F( RpSkinTest, InstancingChecksEveryMeshVertexAgainstItsBoneTable ) {
	const struct {
		const char*	what;
		u8			runBones;		// bones 0 .. runBones - 1 in the mesh's one run
		bool		heap;
		bool		built;
	} rows[] = {
		{ "every bone in the table", 4, false, true },
		{ "on the heap", 4, true, true },
		{ "vertices on bones 2 and 3 outside the table", 2, false, false },
	};
	for ( const auto& row : rows ) {
		const ToolSkin split = OneWeightSplit( { { 0, 1 } }, { { 0, row.runBones } } );
		RpGeometry* const geometry = Read( ToolSkinWriter::Payload( split, ToolSkinForm::Portable ) );
		ASSERT_NE( geometry, nullptr ) << row.what;
		if ( row.heap ) {
			geometry->flags |= 0x02000000;
		}
		RpAtomic* const atomic = RpAtomicCreate();
		RpAtomicSetGeometry( atomic, geometry, 0 );
		RxGCInstanceContext context = {};
		context.mesh = geometry->mesh;
		context.flags = geometry->flags;
		EXPECT_EQ( _rpSkinInstanceCallback( atomic, &context ) == atomic, row.built ) << row.what;
		if ( row.built ) {
			ASSERT_EQ( geometry->repEntry, context.entry ) << row.what;
			const RxGCInstanceHeader* const header = _rxGCInstanceHeader( context.entry );
			EXPECT_EQ( header->indexType, RXGC_INDEX8 ) << row.what;
			EXPECT_EQ( header->serialNum, geometry->mesh->serialNum ) << row.what;
			EXPECT_EQ( header->posStride, 12 ) << row.what;
			EXPECT_EQ( _rwDlQuantisedLoad( header->posArray + 2 * 12 + 4, rpGCCOMP_F32, 0 ), 1.0f ) << row.what;
			EXPECT_EQ( context.entry->link.next == nullptr, row.heap ) << row.what;
			RwResourcesFreeResEntry( context.entry );
			EXPECT_EQ( geometry->repEntry, nullptr ) << row.what;
		} else {
			EXPECT_EQ( geometry->repEntry, nullptr ) << row.what;
		}
		RpAtomicDestroy( atomic );
		RpGeometryDestroy( geometry );
	}
}

TEST_F( RpSkinTest, ASplitRigidSkinsListsNameEachVertexsSlotInItsMeshsTable ) {
	// One mesh whose runs list bones 2, 3, then 0, 1: slots 0, 3, 6, 9.
	const ToolSkin split = OneWeightSplit( { { 0, 2 } }, { { 2, 2 }, { 0, 2 } } );
	RpGeometry* const geometry = Read( ToolSkinWriter::Payload( split, ToolSkinForm::Portable ) );
	ASSERT_NE( geometry, nullptr );
	RpAtomic* const atomic = RpAtomicCreate();
	RpAtomicSetGeometry( atomic, geometry, 0 );
	RxGCInstanceContext context = {};
	context.mesh = geometry->mesh;
	context.flags = geometry->flags;
	ASSERT_EQ( _rpSkinInstanceCallback( atomic, &context ), atomic );
	const RxGCDisplayListRecord& record = _rxGCDisplayListRecords( context.entry )[0];
	const u8* const list = record.list;
	const u32 count = static_cast<u32>( list[1] << 8 | list[2] );
	ASSERT_EQ( count, geometry->mesh->totalIndicesInMesh );
	const u8 slotOfBone[4] = { 6, 9, 0, 3 };
	for ( u32 i = 0; i < count; i++ ) {
		// Matrix index, then the position index (vertex v is on bone v).
		const u8 matrix = list[3 + 2 * i];
		const u8 vertex = list[3 + 2 * i + 1];
		ASSERT_LT( vertex, VERTICES );
		EXPECT_EQ( matrix, slotOfBone[vertex] ) << i;
	}
	EXPECT_TRUE( _rpNativeListsValid( context.entry, geometry->mesh, VERTICES, geometry->flags, true ) );
	RwResourcesFreeResEntry( context.entry );
	RpAtomicDestroy( atomic );
	RpGeometryDestroy( geometry );
}

TEST_F( RpSkinTest, BlendedSkinsDoubleBufferTheirDestinationsByToken ) {
	RpGeometry* const geometry = Read( ToolSkinWriter::Payload( TwoBoneSkin(), ToolSkinForm::Portable ) );
	ASSERT_NE( geometry, nullptr );
	RpSkin* const skin = RpSkinGeometryGetSkin( geometry );
	RpAtomic* const atomic = RpAtomicCreate();
	RpAtomicSetGeometry( atomic, geometry, 0 );
	RpHAnimHierarchy* const hierarchy = Hierarchy( 3, 0 );
	for ( s32 i = 0; i < 3; i++ ) {
		hierarchy->pMatrixArray[i].pos = { 0.0f, 0.0f, 0.0f };
		RwMatrixOptimize( &hierarchy->pMatrixArray[i], nullptr );
	}
	RpSkinAtomicSetHAnimHierarchy( atomic, hierarchy );
	RxGCInstanceContext context = {};
	context.mesh = geometry->mesh;
	context.flags = geometry->flags;
	ASSERT_EQ( _rpSkinInstanceCallback( atomic, &context ), atomic );
	RwResEntry* const instance = context.entry;
	RxGCInstanceHeader* const header = _rxGCInstanceHeader( instance );
	u8* const original = header->posArray;
	GXHostStall();
	ASSERT_EQ( _rpSkinAtomicReinstanceCallBack( atomic, &context ), atomic );
	EXPECT_EQ( skin->sourcePositions, original );
	u8* const first = header->posArray;
	ASSERT_NE( first, original );
	// Vertex 1 follows bone 2 alone: (1, 0, 0) moved by (0, 0, 1).
	EXPECT_NEAR( _rwDlQuantisedLoad( first + 12 + 8, rpGCCOMP_F32, 0 ), 1.0f, 1e-6f );
	EXPECT_NEAR( _rwDlQuantisedLoad( first + 12, rpGCCOMP_F32, 0 ), 1.0f, 1e-6f );
	// The processor has not passed the first destination's token: a
	// second destination.
	ASSERT_EQ( _rpSkinAtomicReinstanceCallBack( atomic, &context ), atomic );
	u8* const second = header->posArray;
	EXPECT_NE( second, first );
	// Once it has passed it, the destination is reused after a vertex-cache
	// invalidation.
	const u16 token = _RwDlTokenCurrent;
	GXSetDrawSync( token );
	_RwDlTokenCurrent = static_cast<u16>( token + 1 );
	GXHostResume();
	for ( u32 i = 0; i < 1000 && GXReadDrawSync() != token; i++ ) {
		HostIdle();
	}
	ASSERT_EQ( GXReadDrawSync(), token );
	const u32 invalidations = GXHostVtxCacheInvalidations();
	ASSERT_EQ( _rpSkinAtomicReinstanceCallBack( atomic, &context ), atomic );
	EXPECT_EQ( header->posArray, second );
	EXPECT_EQ( GXHostVtxCacheInvalidations(), invalidations + 1 );
	// Freeing the instance frees the destination and gives the source back.
	RwResourcesFreeResEntry( instance );
	EXPECT_EQ( skin->sourcePositions, nullptr );
	RpSkinAtomicSetHAnimHierarchy( atomic, nullptr );
	RpHAnimHierarchyDestroy( hierarchy );
	RpAtomicDestroy( atomic );
	RpGeometryDestroy( geometry );
}

TEST_F( RpSkinTest, SkinnedAtomicsTakeTheSkinPipelineAndSkinsAreSetOnce ) {
	RpGeometry* const geometry = Read( ToolSkinWriter::Payload( TwoBoneSkin(), ToolSkinForm::Portable ) );
	ASSERT_NE( geometry, nullptr );
	RpSkin* const skin = RpSkinGeometryGetSkin( geometry );
	RpAtomic* const atomic = RpAtomicCreate();
	RpAtomicSetGeometry( atomic, geometry, 0 );
	EXPECT_EQ( RpSkinAtomicGetType( atomic ), 0u );
	const RwPluginRegEntry* entry = atomicTKList.firstRegEntry;
	while ( entry != nullptr && entry->pluginID != rwID_SKINPLUGIN ) {
		entry = entry->nextRegEntry;
	}
	ASSERT_NE( entry, nullptr );
	ASSERT_TRUE( entry->alwaysCB( atomic, entry->offset, entry->size ) );
	EXPECT_EQ( atomic->pipeline, _rpSkinGlobals.pipeline );
	EXPECT_EQ( RpSkinAtomicGetType( atomic ), 1u );
	// The same skin again changes nothing; null lets go of the old one.
	u8* const quantised = skin->quantisedWeights;
	EXPECT_EQ( RpSkinGeometrySetSkin( geometry, skin ), geometry );
	EXPECT_EQ( skin->quantisedWeights, quantised );
	EXPECT_EQ( RpSkinGeometrySetSkin( geometry, nullptr ), geometry );
	EXPECT_EQ( skin->quantisedWeights, nullptr );
	EXPECT_EQ( RpSkinGeometryGetSkin( geometry ), nullptr );
	RpSkinDestroy( skin );
	RpAtomicDestroy( atomic );
	RpGeometryDestroy( geometry );
}

}	// namespace
