/*
	Key curves: a million evaluations of each kind (8 keys, times spread
	over two repetitions, so the infinity mapping runs too); and one
	update of a skeletal node of 40 joints, each with nine cubic channels,
	writing the object's joint array.
*/
#include "datatypes/memory/DTWorkMemory.h"
#include "datatypes/memory/MMMemory.h"
#include "datatypes/node/DTFCurve.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/animation/EFHAnimNode.h"
#include "framework/graphics/animation/EFHAnimRes.h"
#include "tools/lib/level/ToolAnimBlockWriter.h"
#include "tools/lib/level/ToolAnimCurveWriter.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

ToolCurve EightKeys( const u8 kind ) {
	ToolCurve curve;
	curve.kind = kind;
	curve.end = 8.0f;
	curve.postInfinity = TOOL_CURVE_OSCILLATE;
	for ( u32 k = 1; k <= 8; k++ ) {
		curve.keys.push_back( { static_cast<f32>( k ), 0.25f, -0.5f, 1.0f, static_cast<f32>( k ) } );
	}
	return kind == TOOL_CURVE_CONSTANT ? ToolAnimCurveWriter::Constant( 2.0f ) : curve;
}

void CurveMillion( benchmark::State& state ) {
	const std::vector<u8> bytes = ToolAnimCurveWriter::Encode( EightKeys( static_cast<u8>( state.range( 0 ) ) ) );
	const DTFCurve curve( bytes.data(), static_cast<u32>( bytes.size() ) );
	for ( auto _ : state ) {
		f32 sum = 0.0f;
		for ( u32 i = 0; i < 1000000; i++ ) {
			sum += curve.Evaluate( static_cast<f32>( i & 1023 ) * ( 16.0f / 1024.0f ) );
		}
		benchmark::DoNotOptimize( sum );
	}
}
BENCHMARK( CurveMillion )->Arg( TOOL_CURVE_CONSTANT )->Arg( TOOL_CURVE_CUBIC )->Arg( TOOL_CURVE_COMPRESSED )->Unit( benchmark::kMillisecond );

void SkeletalUpdate40( benchmark::State& state ) {
	constexpr u32 JOINTS = 40;
	ToolAnimBlock block;
	block.duration = 8.0f;
	for ( u32 j = 0; j < JOINTS; j++ ) {
		ToolAnimTrack track;
		track.joint = j;
		for ( u32 target = 0; target < 9; target++ ) {
			track.entries.push_back( { target, 0 } );
		}
		block.tracks.push_back( track );
	}
	const ToolCurve curve = EightKeys( TOOL_CURVE_CUBIC );
	for ( ToolAnimTrack& track : block.tracks ) {
		for ( ToolAnimEntry& entry : track.entries ) {
			entry.offset = ToolAnimCurveWriter::AppendCurve( block, curve );
		}
	}
	const std::vector<u8> bytes = ToolAnimBlockWriter::Encode( block );
	EFHAnimRes* const res = new EFHAnimRes;
	res->mpAnimData = static_cast<u8*>( MMVMalloc( static_cast<u32>( bytes.size() ) ) );
	std::memcpy( res->mpAnimData, bytes.data(), bytes.size() );
	EF3dObj model;
	model.InitTransfo( JOINTS );
	u8 memory[8192];
	DTWorkMemory work( memory, sizeof( memory ) );
	EFHAnimNode node;
	res->muiRefCount++;
	node.mpAnimRes = res;
	DTCreationParameters params = { nullptr, &model };
	node.Initialize( &params );
	node.Play( AS_LOOP, 0.0f );
	for ( auto _ : state ) {
		work.Reset();
		node.Update( 1.0f / 60.0f, work );
	}
}
BENCHMARK( SkeletalUpdate40 )->Unit( benchmark::kMicrosecond );

}
