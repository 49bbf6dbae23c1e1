// Speed of the engine containers where their growth and lookup rules
// matter: one-slot vector growth against a reserved vector, and map lookups
// in a fixed table of 37 buckets as the map fills.
#include "datatypes/containers/DTMap.h"
#include "datatypes/containers/DTVector.h"

#include <benchmark/benchmark.h>

static void BM_DTVectorAppendGrowingBySlot( benchmark::State & state ) {
	const u32 count = static_cast<u32>( state.range( 0 ) );
	for ( auto _ : state ) {
		DTVector<u32> v;
		for ( u32 i = 0; i < count; i++ ) {
			v.Append( i );
		}
		benchmark::DoNotOptimize( v.GetArray() );
	}
	state.SetItemsProcessed( state.iterations() * count );
}
BENCHMARK( BM_DTVectorAppendGrowingBySlot )->Arg( 93 )->Arg( 1000 );

static void BM_DTVectorAppendReserved( benchmark::State & state ) {
	const u32 count = static_cast<u32>( state.range( 0 ) );
	for ( auto _ : state ) {
		DTVector<u32> v;
		v.Reserve( count );
		for ( u32 i = 0; i < count; i++ ) {
			v.Append( i );
		}
		benchmark::DoNotOptimize( v.GetArray() );
	}
	state.SetItemsProcessed( state.iterations() * count );
}
BENCHMARK( BM_DTVectorAppendReserved )->Arg( 93 )->Arg( 1000 );

// Object-id style keys: a kind in the top byte, a serial below.
static void BM_DTMapFind( benchmark::State & state ) {
	const u32 entries = static_cast<u32>( state.range( 0 ) );
	DTMap<u32, u32> map;
	for ( u32 i = 0; i < entries; i++ ) {
		map.Set( 0x2a000000u | i, i );
	}
	u32 key = 0;
	for ( auto _ : state ) {
		benchmark::DoNotOptimize( map.Find( 0x2a000000u | key ) );
		key = key + 1 < entries ? key + 1 : 0;
	}
	state.counters["mean_chain"] = static_cast<double>( entries ) / map.GetTableSize();
}
BENCHMARK( BM_DTMapFind )->Arg( 100 )->Arg( 1000 )->Arg( 5000 );
